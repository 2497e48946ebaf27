#pragma once

#include <string_view>

#include "model/settings_model.h"

namespace tvx {

// Decodes one data line from the unit into the model. mnemonic is the classification row's prefix
// ("CFS", "ADO", "SD", ...; "CA" for titles); line is the whole line, CR LF included or not, without any
// RS-485 address. Positions count from the line's first character, as the unit lays its lines out.
//
// A line too short for its layout changes nothing. A character outside a field's alphabet never stores
// a value outside the field's range: where a letter rule names a value for "anything else" (a "CFS"
// letter other than L and M is SMALL) that rule holds; where the value would be computed from the
// character (digits, "ISS" speeds) that one field is left as it is. A title page or schedule day outside
// the model's range makes the whole line void.
//
// Returns whether the line was taken whole: long enough for its layout, naming a page or day of the
// model, and every field holding a value of its alphabet (a letter that an "anything else" rule names
// counts). False also for a mnemonic without a decoder. A read that is answered by a line not taken
// whole has not read its setting, though the fields that were taken stay stored.
bool decode_data_line(SettingsModel& model, std::string_view mnemonic, std::string_view line);

}  // namespace tvx
