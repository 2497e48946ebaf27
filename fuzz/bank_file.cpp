// A bank file as it may come from disk, read as one of the three sizes (picked by the text, so each gets
// its turn): the bank keeps its slots, every digit stored is an uppercase hexadecimal digit, and writing
// the bank and reading it back gives the same bank. The strict reading of unattended work either refuses
// the text, leaving the bank as it was, or reads what the ordinary reading reads.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_support.h"
#include "glyphs/glyph_bank_file.h"

namespace {

using namespace tvx;
using tvx::fuzz::require;

bool same_digits(const std::vector<std::string>& a, const std::vector<std::string>& b,
                 const GlyphSize& size) {
    const auto digits = static_cast<std::size_t>(size.digits);
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [digits](const std::string& x, const std::string& y) {
                          return x.compare(0, digits, y, 0, digits) == 0;
                      });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::as_text(data, size);
    const GlyphSize& glyph_size = *kGlyphSizes[fuzz::text_hash(bytes) % 3];

    // Kept between runs and reset, so that each run does not pay for three new banks.
    static GlyphModel glyphs;
    static GlyphModel again;
    reset_glyphs(glyphs);
    reset_glyphs(again);

    read_bank_text(glyphs, glyph_size, bytes);
    fuzz::check_glyphs(glyphs, &glyph_size);

    const std::string file = bank_file_text(glyphs, glyph_size);
    const auto lines = static_cast<std::size_t>(glyph_size.slot_count * glyph_size.digits);
    require(file.size() == 3 * lines, "a bank file is one digit and CR LF per line");
    require(static_cast<std::size_t>(std::count(file.begin(), file.end(), '\n')) == lines,
            "a bank file has a line for every digit");

    read_bank_text(again, glyph_size, file);
    require(same_digits(glyph_bank(again, glyph_size), glyph_bank(glyphs, glyph_size), glyph_size),
            "a written bank reads back the same");

    // Strict reading into a bank that differs from the empty one, so that a change shows.
    reset_glyphs(again);
    auto& strict_bank = glyph_bank(again, glyph_size);
    strict_bank.front().replace(0, 2, "F1");
    const std::vector<std::string> before = strict_bank;
    const std::optional<std::string> problem = read_bank_text_strict(again, glyph_size, bytes);
    if (problem) {
        require(!problem->empty(), "a refusal gives its reason");
        require(strict_bank == before, "a refused bank file leaves the bank as it was");
    } else {
        fuzz::check_glyphs(again, &glyph_size);
        require(same_digits(strict_bank, glyph_bank(glyphs, glyph_size), glyph_size),
                "strict reading reads what the ordinary reading reads");
    }
    return 0;
}
