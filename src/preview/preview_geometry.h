#pragma once

#include <QRgb>
#include <array>

namespace tvx {

// The monitor picture as the preview draws it: one table of every number of the model.
//
// The unit's own geometry and colours are not published: where a line starts, how far one step of the
// fine adjustment moves it, how wide the edging is, how fast a scroll runs, how much dimmer LOW is.
// These numbers are an approximation chosen to look like the monitor, and every view of the preview
// says so ("目安"). The cell sizes are the unit's (the glyph sizes); a line of 672 dots holds 14, 21 or
// 28 cells, which is also 224 cells in 8 lines of SMALL, 168 of MEDIUM and 112 of LARGE, as the unit
// numbers its insert positions.
struct PreviewGeometry {
    int width = 720;  // a 4:3 picture
    int height = 540;
    int line_left = 24;  // where a title line starts
    int line_width = 672;
    std::array<int, 3> cell = {48, 32, 24};  // LARGE, MEDIUM, SMALL, as the glyphs
    int top_margin = 24;                     // TOP: the band's top edge at offset 0
    int bottom_margin = 24;  // BOTTOM: the band's bottom edge at offset 0, from the picture's bottom
    // One fine adjustment step moves the band this far away from its edge (down for TOP, up for BOTTOM).
    int offset_step = 6;
    int band_padding = 4;                       // around the cells of a line, inside the filled band
    std::array<int, 3> edge_width = {3, 2, 2};  // edging around each character, by size
    int blink_half_period_ms = 500;             // shown, then hidden, for this long each
    std::array<int, 4> scroll_dots_per_s = {40, 80, 160, 320};  // speed 1 to 4
    int scroll_gap_cells = 2;    // between the end of a scrolling title and its next start
    int low_level_percent = 60;  // LOW against HIGH
    // Colour index 0 to 7 at video levels; 8 (blank) is not drawn at all.
    std::array<QRgb, 8> colours = {0xFF101010, 0xFFEB1010, 0xFF10EB10, 0xFFEBEB10,
                                   0xFF1010EB, 0xFFEB10EB, 0xFF10EBEB, 0xFFEBEBEB};
    // The date and time line: SMALL and NORMAL cells, at the top right of the picture, white with black
    // edging.
    std::array<int, 2> date_cell = {24, 32};
    int date_right = 696;
    int date_top = 24;
};

inline constexpr PreviewGeometry kPreviewGeometry{};

}  // namespace tvx
