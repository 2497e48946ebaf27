#include "cli/glyph_offline.h"

#include <filesystem>

#include "cli/cli_notices.h"
#include "cli/cli_options.h"
#include "config/path_text.h"
#include "config/safe_file.h"
#include "glyphs/bitmap_export.h"
#include "glyphs/glyph_bank_file.h"
#include "glyphs/size_conversion.h"

namespace tvx {
namespace {

constexpr char kPrefix[] = "tvx230-cli: ";

// Writes a file whole or not at all; the cause on the console when it cannot.
bool write_output(Console& console, const std::string& path, std::string_view bytes) {
    std::error_code error;
    if (write_file_replacing(path_from_utf8(path), bytes, error)) return true;
    console.message(std::string(kPrefix) + write_failure(path, error));
    return false;
}

}  // namespace

bool read_bank_strict(const std::string& path, const GlyphSize& size, GlyphModel& glyphs, Console& console) {
    std::string text;
    if (const InputFileRead read = read_input_file(path_from_utf8(path), text); !read) {
        console.message(std::string(kPrefix) + input_file_refusal(path, read.status));
        return false;
    }
    return read_bank_text(path, text, size, glyphs, console);
}

bool read_bank_text(const std::string& path, const std::string& text, const GlyphSize& size,
                    GlyphModel& glyphs, Console& console) {
    if (starts_with_byte_order_mark(text)) {
        console.message(std::string(kPrefix) + byte_order_mark_refusal(path, "a bank file"));
        return false;
    }
    if (auto problem = read_bank_text_strict(glyphs, size, text)) {
        console.message(std::string(kPrefix) + path + ": not a whole bank file: " + *problem);
        return false;
    }
    return true;
}

int convert_glyph_banks(const std::string& source, std::optional<int> number,
                        const std::vector<std::string>& targets, Console& console) {
    const GlyphSize* from = glyph_size_of_file(source);
    if (!from) return 1;
    GlyphModel glyphs;
    reset_glyphs(glyphs);
    if (!read_bank_strict(source, *from, glyphs, console)) return 1;

    struct Target {
        const std::string& path;
        const GlyphSize& size;
        bool touched = false;
    };
    std::vector<Target> outs;
    for (const std::string& path : targets) {
        const GlyphSize* to = glyph_size_of_file(path);
        if (!to || to == from) return 1;
        std::error_code ec;
        // A missing target starts blank; one that is there must be a whole bank file.
        if (std::filesystem::exists(path_from_utf8(path), ec) && !read_bank_strict(path, *to, glyphs, console)) return 1;
        outs.push_back({path, *to});
    }

    const int first = number ? *number : 1;
    const int last = number ? *number : from->slot_count;
    const auto& source_bank = glyph_bank(glyphs, *from);
    for (int n = first; n <= last; ++n) {
        const auto slot = static_cast<std::size_t>(n - 1);
        const std::string glyph = source_bank[slot].substr(0, static_cast<std::size_t>(from->digits));
        for (Target& target : outs) {
            if (n > target.size.slot_count) continue;
            convert_glyph_size(glyph, *from, glyph_bank(glyphs, target.size)[slot], target.size);
            target.touched = true;
        }
    }

    int status = 0;
    for (const Target& target : outs) {
        if (!target.touched) {
            console.message(std::string(kPrefix) + target.path + ": " + std::string(target.size.extension) +
                            " banks hold no number " + std::to_string(first) + "; left as it was");
            continue;
        }
        if (!write_output(console, target.path, bank_file_text(glyphs, target.size))) {
            status = 1;
        }
    }
    return status;
}

int export_glyph_bitmap(const std::string& source, int number, const std::string& output, unsigned background,
                        Console& console) {
    const GlyphSize* size = glyph_size_of_file(source);
    if (!size || number < 1 || number > size->slot_count) return 1;
    GlyphModel glyphs;
    reset_glyphs(glyphs);
    if (!read_bank_strict(source, *size, glyphs, console)) return 1;
    const RgbColour fill{static_cast<std::uint8_t>(background >> 16 & 0xFF),
                         static_cast<std::uint8_t>(background >> 8 & 0xFF),
                         static_cast<std::uint8_t>(background & 0xFF)};
    const std::string& glyph = glyph_bank(glyphs, *size)[static_cast<std::size_t>(number - 1)];
    const RgbImage image = glyph_cell_image(glyph, *size, kGlyphCellSize, kGlyphCellSize, fill);
    const std::string path = with_extension(output, ".bmp");
    if (!write_output(console, path, bitmap_file_bytes(image))) {
        return 1;
    }
    return 0;
}

}  // namespace tvx
