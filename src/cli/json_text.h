#pragma once

#include <string>
#include <string_view>

namespace tvx {

// Pieces of the JSON files tvx230-cli writes (the run report, a backup's manifest).

// A JSON string, quotes included. The text is taken as UTF-8; a byte that is not part of a valid UTF-8
// sequence (a unit's stray byte, say) becomes U+FFFD, so the file always parses.
std::string json_string(std::string_view text);

// A number with up to three decimals ("2.345", "0").
std::string json_seconds(double seconds);

// Shift JIS text (a title as the unit keeps it) as UTF-8; the bytes as they are when no decoder is there.
std::string shift_jis_as_utf8(const std::string& text);

}  // namespace tvx
