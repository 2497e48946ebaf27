#include "glyphs/glyph_bank_file.h"

#include "config/safe_file.h"
#include "glyphs/glyph_text.h"

namespace tvx {
namespace {

bool is_blank(char c) {
    return c == '\r' || c == '\n' || c == ' ' || c == '\t';
}

// The first line of a refusal: the file and the size it was opened as.
std::string not_a_bank_file(std::string_view file_name, const GlyphSize& size) {
    return std::string(file_name) + " は" + std::string(size.name) + "の外字ファイルではありません。\n";
}

}  // namespace

std::string bank_file_text(const GlyphModel& glyphs, const GlyphSize& size) {
    const auto& bank = glyph_bank(glyphs, size);
    std::string out;
    out.reserve(static_cast<std::size_t>(size.slot_count * size.digits * 3));
    for (int s = 0; s < size.slot_count; ++s) {
        const std::string& slot = bank[static_cast<std::size_t>(s)];
        for (int d = 0; d < size.digits; ++d) {
            const auto i = static_cast<std::size_t>(d);
            out += i < slot.size() ? normalise_glyph_digit(slot[i]) : '0';
            out += "\r\n";
        }
    }
    return out;
}

void read_bank_text(GlyphModel& glyphs, const GlyphSize& size, std::string_view text) {
    auto& bank = glyph_bank(glyphs, size);
    std::size_t pos = 0;
    for (int s = 0; s < size.slot_count; ++s) {
        std::string& slot = bank[static_cast<std::size_t>(s)];
        if (slot.size() < static_cast<std::size_t>(size.digits))
            slot.resize(static_cast<std::size_t>(size.digits), '0');
        for (int d = 0; d < size.digits; ++d) {
            while (pos < text.size() && is_blank(text[pos])) ++pos;
            if (pos >= text.size()) return;
            slot[static_cast<std::size_t>(d)] = normalise_glyph_digit(text[pos++]);
        }
    }
}

std::optional<BankTextProblem> read_bank_text_checked(GlyphModel& glyphs, const GlyphSize& size,
                                                      std::string_view text) {
    const auto is_hex = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    };
    const auto digit_count =
        static_cast<std::size_t>(size.slot_count) * static_cast<std::size_t>(size.digits);
    std::string digits;
    digits.reserve(digit_count);
    int line = 1;
    for (const char c : text) {
        if (c == '\n') ++line;
        if (is_blank(c)) continue;
        if (digits.size() == digit_count)
            return BankTextProblem{BankTextProblem::Kind::kTooLong, line, digits.size(), digit_count};
        if (!is_hex(c))
            return BankTextProblem{BankTextProblem::Kind::kNotADigit, line, digits.size(), digit_count};
        digits += normalise_glyph_digit(c);
    }
    if (digits.size() < digit_count)
        return BankTextProblem{BankTextProblem::Kind::kTooShort, line, digits.size(), digit_count};
    auto& bank = glyph_bank(glyphs, size);
    for (int s = 0; s < size.slot_count; ++s) {
        std::string& slot = bank[static_cast<std::size_t>(s)];
        if (slot.size() < static_cast<std::size_t>(size.digits))
            slot.resize(static_cast<std::size_t>(size.digits), '0');
        slot.replace(0, static_cast<std::size_t>(size.digits), digits,
                     static_cast<std::size_t>(s * size.digits), static_cast<std::size_t>(size.digits));
    }
    return std::nullopt;
}

std::optional<std::string> read_bank_text_strict(GlyphModel& glyphs, const GlyphSize& size,
                                                 std::string_view text) {
    const std::optional<BankTextProblem> problem = read_bank_text_checked(glyphs, size, text);
    if (!problem) return std::nullopt;
    const std::string bank = " digits of a bank of " + std::string(size.extension) + " glyphs";
    switch (problem->kind) {
        case BankTextProblem::Kind::kTooLong:
            return "line " + std::to_string(problem->line) + ": more than the " +
                   std::to_string(problem->digits_expected) + bank;
        case BankTextProblem::Kind::kNotADigit:
            return "line " + std::to_string(problem->line) + ": not a hexadecimal digit";
        case BankTextProblem::Kind::kTooShort:
            break;
    }
    return "only " + std::to_string(problem->digits_found) + " of the " +
           std::to_string(problem->digits_expected) + bank;
}

std::string bank_file_unreadable(std::string_view file_name, const GlyphSize& size, InputFileStatus status) {
    return not_a_bank_file(file_name, size) + (status == InputFileStatus::kTooLarge
                                                   ? "外字ファイルとしては大きすぎます。"
                                                   : "通常のファイルではありません。");
}

std::string bank_file_refusal(std::string_view file_name, const GlyphSize& size,
                              const BankTextProblem& problem) {
    const std::string line = not_a_bank_file(file_name, size) + std::to_string(problem.line) + " 行目";
    const std::string expected = std::to_string(problem.digits_expected);
    switch (problem.kind) {
        case BankTextProblem::Kind::kNotADigit:
            return line + "に外字データ（0～9、A～F）でない文字があります。";
        case BankTextProblem::Kind::kTooLong:
            return line + "で外字データが " + expected + " 行を超えています。";
        case BankTextProblem::Kind::kTooShort:
            break;
    }
    return line + "でファイルが終わっています。外字データは " + expected + " 行必要ですが " +
           std::to_string(problem.digits_found) + " 行しかありません。";
}

bool write_bank_file(GlyphModel& glyphs, const GlyphSize& size, const std::filesystem::path& path) {
    if (!write_file_replacing(path, bank_file_text(glyphs, size))) return false;
    set_bank_modified(glyphs, size, false);
    return true;
}

bool read_bank_file(GlyphModel& glyphs, const GlyphSize& size, const std::filesystem::path& path) {
    std::string text;
    if (!read_whole_file(path, text)) return false;
    read_bank_text(glyphs, size, text);
    return true;
}

}  // namespace tvx
