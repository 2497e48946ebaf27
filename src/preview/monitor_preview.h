#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

#include "glyphs/glyph_model.h"
#include "model/settings_model.h"
#include "preview/preview_geometry.h"

class QPainter;

namespace tvx {

// The unit's clock as the date and time line shows it.
struct PreviewClock {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// What one picture of the monitor shows: a page of the settings with the glyph banks, at a moment of its
// animation (blink and scroll run from time_ms 0, where the title is shown from its start), over a test
// picture (none: colour bars).
struct PreviewScene {
    const SettingsModel& model;
    const GlyphModel& glyphs;
    int page = 0;  // 0..63
    int time_ms = 0;
    PreviewClock clock;
    const QImage* picture = nullptr;  // already fitted to the picture's size (fit_test_picture)
};

// Draws the scene into painter, in the picture's own coordinates (kPreviewGeometry: 720 x 540); a view of
// another size scales the painter first.
void draw_monitor_preview(QPainter& painter, const PreviewScene& scene);

// The scene as an image of size (the picture's own size unless told).
QImage render_monitor_preview(const PreviewScene& scene, QSize size = {});

// An operator's image as the test picture: scaled to cover the whole 4:3 picture, the overflow cut off
// evenly on both sides.
QImage fit_test_picture(const QImage& image);

// The colour bars behind the text when no picture is chosen (made once).
const QImage& colour_bars();

// Where the page's title line stands: the band (background fill) around its cells, in picture
// coordinates. Values outside their ranges (a document written elsewhere) are taken as the nearest.
QRect title_band(const PageSettings& page);
// The first cell of the title line: the cells follow it to the right.
QRect first_title_cell(const PageSettings& page);
// Cells of the page's size in one line.
int cells_per_line(const PageSettings& page);
// Whether the page's picture changes with time (blink, or a title longer than a line that scrolls).
bool preview_animates(const PageSettings& page);

}  // namespace tvx
