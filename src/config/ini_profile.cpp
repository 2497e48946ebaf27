#include "config/ini_profile.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <vector>

#include "config/input_file.h"
#include "config/safe_file.h"

namespace tvx {
namespace {

std::string_view trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

bool same_name(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::vector<std::string_view> split_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t lf = text.find('\n');
        std::string_view line = text.substr(0, lf);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (lf == std::string_view::npos) break;
        text.remove_prefix(lf + 1);
    }
    return lines;
}

// The section name when the line is a section header.
bool section_header(std::string_view line, std::string_view& name) {
    line = trim(line);
    if (line.size() < 2 || line.front() != '[') return false;
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos) return false;
    name = trim(line.substr(1, close - 1));
    return true;
}

bool key_line(std::string_view line, std::string_view& key, std::string_view& value) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    key = trim(line.substr(0, eq));
    value = trim(line.substr(eq + 1));
    return true;
}

}  // namespace

int text_to_int(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        value = std::min<long long>(value * 10 + (text[i++] - '0'), static_cast<long long>(INT_MAX) + 1);
    }
    if (negative) value = -value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

std::string profile_string_from_text(std::string_view text, std::string_view section, std::string_view key,
                                     std::string_view default_value, std::size_t buffer_size) {
    std::string_view found = default_value;
    bool in_section = false;
    for (std::string_view line : split_lines(text)) {
        std::string_view name;
        if (section_header(line, name)) {
            in_section = same_name(name, section);
            continue;
        }
        std::string_view k, v;
        if (in_section && key_line(line, k, v) && same_name(k, key)) {
            if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
                v = v.substr(1, v.size() - 2);
            }
            found = v;
            break;
        }
    }
    if (buffer_size == 0) return {};
    return std::string(found.substr(0, buffer_size - 1));
}

bool read_profile_text(const std::filesystem::path& path, std::string& text) {
    text.clear();
    std::error_code ec;
    if (std::filesystem::status(path, ec).type() == std::filesystem::file_type::not_found) return true;
    return static_cast<bool>(read_input_file(path, text));
}

std::string read_profile_string(const std::filesystem::path& path, std::string_view section,
                                std::string_view key, std::string_view default_value,
                                std::size_t buffer_size) {
    std::string text;
    read_profile_text(path, text);
    return profile_string_from_text(text, section, key, default_value, buffer_size);
}

std::string profile_text_with_value(std::string_view text, std::string_view section, std::string_view key,
                                    std::string_view value) {
    std::vector<std::string_view> lines = split_lines(text);
    const std::string entry = std::string(key) + "=" + std::string(value);

    std::size_t insert_at = lines.size();
    bool section_found = false;
    bool replaced = false;
    std::vector<std::string> out;
    out.reserve(lines.size() + 2);

    bool in_section = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view name;
        if (section_header(lines[i], name)) {
            in_section = !section_found && same_name(name, section);
            if (in_section) {
                section_found = true;
                insert_at = out.size() + 1;
            }
            out.emplace_back(lines[i]);
            continue;
        }
        std::string_view k, v;
        if (in_section && !replaced && key_line(lines[i], k, v) && same_name(k, key)) {
            out.push_back(entry);
            replaced = true;
            continue;
        }
        out.emplace_back(lines[i]);
        // A new key goes after the section's last non-blank line.
        if (in_section && !trim(lines[i]).empty()) insert_at = out.size();
    }

    if (!replaced) {
        if (section_found) {
            out.insert(out.begin() + static_cast<std::ptrdiff_t>(insert_at), entry);
        } else {
            out.push_back("[" + std::string(section) + "]");
            out.push_back(entry);
        }
    }

    std::string result;
    for (const std::string& line : out) {
        result += line;
        result += "\r\n";
    }
    return result;
}

bool write_profile_string(const std::filesystem::path& path, std::string_view section, std::string_view key,
                          std::string_view value) {
    return write_profile_strings(path, section, {{std::string(key), std::string(value)}});
}

bool write_profile_strings(const std::filesystem::path& path, std::string_view section,
                           const std::vector<std::pair<std::string, std::string>>& values) {
    std::string text;
    if (!read_profile_text(path, text)) return false;
    if (path.has_parent_path()) {
        std::error_code ec;
        std::filesystem::create_directories(path.parent_path(), ec);
    }
    for (const auto& [key, value] : values) text = profile_text_with_value(text, section, key, value);
    return write_file_replacing(path, text);
}

}  // namespace tvx
