#pragma once

#include <cstdint>

namespace tvx {

// The NEC-selected equivalent of an IBM extended character (Shift JIS 0xFA40 to 0xFC4B), or 0 for a code
// that has none (the IBM codes whose characters also exist among the NEC special characters, and
// anything outside the IBM extension).
std::uint16_t ibm_to_nec(std::uint16_t sjis);

// Whether a Shift JIS value goes through ibm_to_nec before conversion: 0xFA40 to 0xFA49, 0xFA55 to
// 0xFA57, and 0xFA5C upward.
bool is_mapped_ibm_extension(std::uint16_t sjis);

// Standard Shift JIS to JIS X 0208 arithmetic. 0 unless the lead byte is a Shift JIS lead byte, the
// trail byte a valid trail byte, and the result lies in rows and cells 0x21 to 0x7E.
std::uint16_t sjis_to_jis(std::uint16_t sjis);

// Standard JIS X 0208 to Shift JIS arithmetic. 0 unless both bytes lie in 0x21 to 0x7E.
std::uint16_t jis_to_sjis(std::uint16_t jis);

// A Shift JIS character as the unit's JIS code: IBM extensions through their NEC-selected codes, then the
// standard conversion. 0 when the unit has no such character.
std::uint16_t sjis_to_unit_code(std::uint16_t sjis);

}  // namespace tvx
