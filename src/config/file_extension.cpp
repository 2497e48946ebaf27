#include "config/file_extension.h"

#include <algorithm>

namespace tvx {

std::string with_extension(const std::string& name, std::string_view extension) {
    // ASCII folding only: a byte of a multi-byte character never equals an extension letter folded.
    const auto same = [](char a, char b) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(a) == lower(b);
    };
    if (name.size() > 1 &&
        std::search(name.begin() + 1, name.end(), extension.begin(), extension.end(), same) != name.end()) {
        return name;
    }
    return name + std::string(extension);
}

}  // namespace tvx
