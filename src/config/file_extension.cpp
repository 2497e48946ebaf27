#include "config/file_extension.h"

#include <algorithm>

namespace tvx {

namespace {

// The name as it is when it holds the extension after its first character, else with the extension
// appended; the extension is ASCII, so it compares and appends alike in narrow and wide characters.
template <typename Text>
Text with_extension_of(const Text& name, std::string_view extension) {
    // ASCII folding only: a byte of a multi-byte character never equals an extension letter folded.
    using Char = typename Text::value_type;
    const auto lower = [](Char c) { return c >= 'A' && c <= 'Z' ? static_cast<Char>(c - 'A' + 'a') : c; };
    const auto same = [&lower](Char a, char b) { return lower(a) == lower(static_cast<Char>(b)); };
    if (name.size() > 1 &&
        std::search(name.begin() + 1, name.end(), extension.begin(), extension.end(), same) != name.end()) {
        return name;
    }
    Text out = name;
    for (const char c : extension) out.push_back(static_cast<Char>(c));
    return out;
}

}  // namespace

std::string with_extension(const std::string& name, std::string_view extension) {
    return with_extension_of(name, extension);
}

std::filesystem::path path_with_extension(const std::filesystem::path& name, std::string_view extension) {
    return std::filesystem::path(with_extension_of(name.native(), extension));
}

}  // namespace tvx
