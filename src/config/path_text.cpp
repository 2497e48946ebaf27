#include "config/path_text.h"

namespace tvx {

std::filesystem::path path_from_utf8(std::string_view text) {
    // char8_t marks the text as UTF-8 to the path, whatever the platform's narrow encoding.
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string path_to_utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace tvx
