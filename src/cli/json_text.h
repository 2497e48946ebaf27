#pragma once

#include <string>
#include <string_view>

namespace tvx {

// Pieces of the JSON text of a backup's manifest (the run report is built with QJsonDocument).

// A JSON string, quotes included. The text is taken as UTF-8; a byte that is not part of a valid UTF-8
// sequence (a unit's stray byte, say) becomes U+FFFD, so the file always parses.
std::string json_string(std::string_view text);

// Shift JIS text (a title as the unit keeps it) as UTF-8; the bytes as they are when no decoder is there.
std::string shift_jis_as_utf8(const std::string& text);

}  // namespace tvx
