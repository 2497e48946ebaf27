#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/console.h"
#include "config/input_file.h"
#include "glyphs/glyph_model.h"

namespace tvx {

// The offline glyph commands. Each reads its bank files strictly, writes its files whole or not at all,
// reports problems on the console and returns the exit status (0 or 1).

// Derives the other sizes of registration number (or of every number the source holds, when none) into
// the target bank files: size by extension, a missing target starts blank, a target without that number
// (large beyond 70, medium beyond 160) is left as it is.
int convert_glyph_banks(const std::string& source, std::optional<int> number,
                        const std::vector<std::string>& targets, Console& console);

// The glyph list's thumbnail cell of registration number as a 24-bit bitmap: 96 × 96 pixels, two pixels a
// dot from the top left, the rest in the background colour (0xRRGGBB).
int export_glyph_bitmap(const std::string& source, int number, const std::string& output, unsigned background,
                        Console& console);

// Reads a bank file of the size its extension names, strictly; a message on the console when it cannot.
bool read_bank_strict(const std::string& path, const GlyphSize& size, GlyphModel& glyphs, Console& console);
// The same for a bank file already read as text, path naming it in the message.
bool read_bank_text(const std::string& path, const std::string& text, const GlyphSize& size,
                    GlyphModel& glyphs, Console& console);

}  // namespace tvx
