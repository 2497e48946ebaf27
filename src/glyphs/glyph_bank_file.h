#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "config/file_extension.h"
#include "config/input_file.h"
#include "glyphs/glyph_model.h"

namespace tvx {

// The notices about bank and bitmap files: a file that cannot be read or written, and 保存 before any
// bank file was opened or saved.
inline constexpr std::string_view kCantFileOpen = "Can't file open";
inline constexpr std::string_view kDontFileOpen = "Don't file open";

// A bank file holds every slot of one size, one glyph digit per CR LF line, slot after slot; the spare
// characters of a slot are not written.
std::string bank_file_text(const GlyphModel& glyphs, const GlyphSize& size);

// Reads bank file text into the size's bank: one digit after another, white space (CR, LF, space, tab)
// skipped around them, so LF-only files and blank lines are accepted. A short text fills the start of
// the bank and leaves the rest as it was. Digits are stored as the uppercase digit of their low four bits.
void read_bank_text(GlyphModel& glyphs, const GlyphSize& size, std::string_view text);

// Why a text is not a whole bank file of a size.
struct BankTextProblem {
    enum class Kind { kNotADigit, kTooLong, kTooShort };
    Kind kind;
    int line;  // 1-based: the character at fault, or where the text ends
    std::size_t digits_found;
    std::size_t digits_expected;
};

// The careful reading: the text must hold exactly the bank's digits, each a hexadecimal digit ("0" to
// "9", "A" to "F", lower case too), with nothing but white space around them. Otherwise the bank is
// unchanged and the problem is returned; on success the whole bank is replaced.
std::optional<BankTextProblem> read_bank_text_checked(GlyphModel& glyphs, const GlyphSize& size,
                                                      std::string_view text);

// The operator's notice for a refused bank file: the file, the size and the line at fault.
std::string bank_file_refusal(std::string_view file_name, const GlyphSize& size,
                              const BankTextProblem& problem);

// The operator's notice for a file that is not a regular file or is far too large to be a bank file.
std::string bank_file_unreadable(std::string_view file_name, const GlyphSize& size, InputFileStatus status);

// The careful reading with its reason in English, for the command-line tool: the reason names the line.
std::optional<std::string> read_bank_text_strict(GlyphModel& glyphs, const GlyphSize& size,
                                                 std::string_view text);

// The files themselves: the bank of the size in glyphs, written or read; false when the file cannot be
// written or read (the bank is then unchanged). The file is replaced whole, never left half written, and
// a written bank counts as saved. The settings' data_modified is not theirs to touch: that flag stands for
// unsaved titles, and a bank file holds none.
bool write_bank_file(GlyphModel& glyphs, const GlyphSize& size, const std::filesystem::path& path);
bool read_bank_file(GlyphModel& glyphs, const GlyphSize& size, const std::filesystem::path& path);

}  // namespace tvx
