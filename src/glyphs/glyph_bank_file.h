#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "glyphs/glyph_model.h"
#include "model/tool_state.h"

namespace tvx {

// A bank file holds every slot of one size, one glyph digit per CR LF line, slot after slot; the spare
// characters of a slot are not written.
std::string bank_file_text(const GlyphModel& glyphs, const GlyphSize& size);

// Reads bank file text into the size's bank: one digit after another, white space (CR, LF, space, tab)
// skipped around them, so LF-only files and blank lines are accepted. A short text fills the start of
// the bank and leaves the rest as it was. Digits are stored as the uppercase digit of their low four bits.
void read_bank_text(GlyphModel& glyphs, const GlyphSize& size, std::string_view text);

// The reading for unattended work: the text must hold exactly the bank's digits, each a hexadecimal
// digit ("0" to "9", "A" to "F", lower case too), with nothing but white space around them. On a refusal
// the bank is unchanged and the reason names the line; otherwise the whole bank is replaced.
std::optional<std::string> read_bank_text_strict(GlyphModel& glyphs, const GlyphSize& size,
                                                 std::string_view text);

// The files themselves; false when the file cannot be written or read (the bank is then unchanged).
// The file is replaced whole, never left half written. Neither touches data_modified: that flag stands
// for unsaved titles, and a bank file holds none.
bool write_bank_file(ToolState& tool, const GlyphSize& size, const std::filesystem::path& path);
bool read_bank_file(ToolState& tool, const GlyphSize& size, const std::filesystem::path& path);

}  // namespace tvx
