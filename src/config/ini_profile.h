#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tvx {

// A small INI profile in the manner of the classic profile functions: one key read or written at a time,
// section and key names compared without regard to case, every other line of the file kept as it is,
// CR LF line ends.

// The whole text of a profile file; a missing file reads as empty text. False when the file is there but
// cannot be read (unreadable, not a regular file, or far larger than any profile): writing one key over
// it would then lose every other key.
bool read_profile_text(const std::filesystem::path& path, std::string& text);

// The value of key in section, or default_value when the file, the section or the key is missing.
// At most buffer_size - 1 characters are returned, as a fixed read buffer would hold.
std::string read_profile_string(const std::filesystem::path& path, std::string_view section,
                                std::string_view key, std::string_view default_value,
                                std::size_t buffer_size);

// The same lookup over the text of a profile already in memory.
std::string profile_string_from_text(std::string_view text, std::string_view section, std::string_view key,
                                     std::string_view default_value, std::size_t buffer_size);

// The text with key set to value in section: the key's line replaced, or the key added at the end of its
// section, or the section added at the end of the text.
std::string profile_text_with_value(std::string_view text, std::string_view section, std::string_view key,
                                    std::string_view value);

// Writes one key, creating the file when needed. The file is replaced whole, never left half-written.
// False, and nothing written, when the file is there but cannot be read (read_profile_text).
bool write_profile_string(const std::filesystem::path& path, std::string_view section, std::string_view key,
                          std::string_view value);

// Writes several keys of one section in one replacement of the file, so that they change together.
bool write_profile_strings(const std::filesystem::path& path, std::string_view section,
                           const std::vector<std::pair<std::string, std::string>>& values);

// Decimal text to integer as the C library's atoi reads it: leading blanks, a sign, digits; anything
// else ends the number, and text without a number gives 0. Values beyond int saturate.
int text_to_int(std::string_view text);

}  // namespace tvx
