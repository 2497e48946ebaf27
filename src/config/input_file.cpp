#include "config/input_file.h"

#include <fstream>
#include <system_error>

namespace tvx {

InputFileRead read_input_file(const std::filesystem::path& path, std::string& bytes, std::size_t limit) {
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) return {InputFileStatus::kCannotOpen};
    if (!std::filesystem::is_regular_file(status)) return {InputFileStatus::kNotAFile};
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) return {InputFileStatus::kCannotOpen};
    if (size > limit) return {InputFileStatus::kTooLarge};

    std::ifstream in(path, std::ios::binary);
    if (!in) return {InputFileStatus::kCannotOpen};
    std::string read;
    read.reserve(static_cast<std::size_t>(size));
    char chunk[64 * 1024];
    while (in) {
        in.read(chunk, sizeof chunk);
        read.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (read.size() > limit) return {InputFileStatus::kTooLarge};
    }
    if (in.bad()) return {InputFileStatus::kCannotOpen};
    bytes = std::move(read);
    return {InputFileStatus::kRead};
}

}  // namespace tvx
