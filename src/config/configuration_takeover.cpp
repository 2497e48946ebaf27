#include "config/configuration_takeover.h"

#include <system_error>

#include "config/ini_profile.h"
#include "config/path_text.h"
#include "config/safe_file.h"

namespace tvx {
namespace {

bool is_file(const std::filesystem::path& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

}  // namespace

std::optional<std::filesystem::path> take_over_configuration(const std::filesystem::path& ini,
                                                             const EarlierConfiguration& earlier,
                                                             std::string& problem) {
    problem.clear();
    std::error_code error;
    if (ini.empty() || std::filesystem::exists(ini, error) || error) return std::nullopt;

    std::filesystem::path source;
    if (is_file(earlier.file)) source = earlier.file;
    if (is_file(earlier.virtual_store)) {
        // Windows reads a program's writes back from its VirtualStore copy: that copy is newer whenever
        // the earlier tool wrote a key without the right to write the Windows folder.
        std::error_code a, b;
        const auto stored = std::filesystem::last_write_time(earlier.virtual_store, a);
        if (source.empty() || (!a && stored > std::filesystem::last_write_time(source, b))) {
            source = earlier.virtual_store;
        }
    }
    if (source.empty()) return std::nullopt;

    std::string text;
    if (!read_profile_text(source, text)) {
        problem = path_to_utf8(source) + " は読めないため、設定を引き継げませんでした。";
        return std::nullopt;
    }
    std::filesystem::create_directories(ini.parent_path(), error);
    if (!write_file_replacing(ini, text, error)) {
        problem = path_to_utf8(source) + " の設定を " + path_to_utf8(ini) +
                  " に書けませんでした: " + error.message();
        return std::nullopt;
    }
    return source;
}

}  // namespace tvx
