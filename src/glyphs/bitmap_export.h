#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "glyphs/glyph_model.h"

namespace tvx {

struct RgbColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const RgbColour&, const RgbColour&) = default;
};

inline constexpr RgbColour kLitDot{255, 255, 255};
inline constexpr RgbColour kDarkOutline{0, 0, 0};
inline constexpr RgbColour kDarkFill{0, 0, 255};

// A picture of width × height pixels, rows top first, three bytes per pixel (red, green, blue). The glyph
// editor's grid and the glyph lists' cells are drawn into one, shown by the dialogs as they are, and a
// list cell is exported from one: what is on screen and what is written are the same pixels.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    RgbImage() = default;
    RgbImage(int w, int h, RgbColour fill);

    RgbColour pixel(int x, int y) const;
    // Pixels outside the picture are ignored.
    void set_pixel(int x, int y, RgbColour colour);
};

// Every dot of a glyph text as a cell of w × h pixels at the picture's top-left corner, the cell of dot
// (x, y) from (x·w, y·h) up to but excluding ((x+1)·w, (y+1)·h): a lit dot white all over, a dark dot a
// one-pixel black outline around a blue fill. With w = h = 2 only the outline shows: a list thumbnail.
void draw_glyph_dots(RgbImage& image, std::string_view text, const GlyphSize& size, int w, int h);

// A glyph list cell's picture, width and height, whatever the glyph size: what the lists show and export.
inline constexpr int kGlyphCellSize = 96;

// A glyph list cell of width × height pixels: the thumbnail (2 × 2 pixels a dot) at its top-left corner,
// the rest in the dialog's background colour.
RgbImage glyph_cell_image(std::string_view text, const GlyphSize& size, int width, int height,
                          RgbColour background);

// Bytes of one pixel row in the file: three a pixel, rounded up to a multiple of four.
int bitmap_stride(int width);

// The whole 24-bit uncompressed bitmap file: the 14-byte file header, the 40-byte information header,
// then the rows bottom row first, blue, green, red, each padded with zero bytes to the stride.
std::string bitmap_file_bytes(const RgbImage& image);

// Writes the file whole or not at all (an existing file keeps its content when writing fails).
bool write_bitmap_file(const std::filesystem::path& path, const RgbImage& image);

}  // namespace tvx
