#include "preview/monitor_preview.h"

#include <QFont>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <string>

#include "preview/title_cells.h"

namespace tvx {
namespace {

const PreviewGeometry& g = kPreviewGeometry;

int clamped(int value, int low, int high) {
    return std::clamp(value, low, high);
}

int size_index(const PageSettings& page) {
    return clamped(page.char_size, 0, 2);
}

const GlyphSize& glyph_size_of(int index) {
    return *kGlyphSizes[index];
}

QColor level_colour(int index, int level_percent) {
    const QColor full = QColor::fromRgb(g.colours[static_cast<std::size_t>(index)]);
    return QColor(full.red() * level_percent / 100, full.green() * level_percent / 100,
                  full.blue() * level_percent / 100);
}

QFont cell_font(int cell) {
    QFont font;
    // The scripts install IPA Gothic; the others are what a Windows or another Linux desktop has.
    font.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("IPAexGothic"), QStringLiteral("MS Gothic"),
                      QStringLiteral("Noto Sans CJK JP")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(cell - 2);
    return font;
}

// A glyph of a bank slot as an image of its dots, lit dots opaque white; a null image for a slot outside
// the bank.
QImage glyph_dots(const GlyphModel& glyphs, const GlyphSize& size, int slot) {
    const std::vector<std::string>& bank = glyph_bank(glyphs, size);
    if (slot < 0 || slot >= static_cast<int>(bank.size())) return {};
    const std::string& text = bank[static_cast<std::size_t>(slot)];
    QImage dots(size.dots, size.dots, QImage::Format_ARGB32_Premultiplied);
    dots.fill(Qt::transparent);
    const int digits = std::min<int>(size.digits, static_cast<int>(text.size()));
    for (int i = 0; i < digits; ++i) {
        const auto c = static_cast<unsigned char>(text[static_cast<std::size_t>(i)]);
        // As the glyph tools read a digit: above '9' counts from 'A', and only the low four bits are dots.
        const int value = (c > '9' ? c - 55 : c - 48) & 0xF;
        if (value == 0) continue;
        auto* row = reinterpret_cast<QRgb*>(dots.scanLine(i / size.digits_per_row));
        const int x0 = 4 * (i % size.digits_per_row);
        for (int k = 0; k < 4; ++k) {
            if (value & (8 >> k)) row[x0 + k] = 0xFFFFFFFF;
        }
    }
    return dots;
}

// One drawn line of cells: their shapes in white on transparency, to be tinted and edged.
struct LineCells {
    const std::vector<TitleCell>* cells;
    int cell;  // full cell width and height
    const GlyphModel* glyphs = nullptr;
    const GlyphSize* size = nullptr;
};

int cells_width(const std::vector<TitleCell>& cells, int cell) {
    int width = 0;
    for (const TitleCell& c : cells) width += c.half ? cell / 2 : cell;
    return width;
}

// Draws the cells from (x, y) (x may be negative) into mask, skipping those outside it.
void draw_cell_shapes(QPainter& mask, const LineCells& line, int x, int y) {
    const int right = mask.device()->width();
    for (const TitleCell& c : *line.cells) {
        const int width = c.half ? line.cell / 2 : line.cell;
        if (x >= right) break;
        if (x + width > 0 && !c.blank) {
            if (c.kind == TitleCell::Kind::kGlyph) {
                const QImage dots = glyph_dots(*line.glyphs, *line.size, c.slot);
                if (!dots.isNull()) mask.drawImage(QRect(x, y, width, line.cell), dots);
            } else {
                mask.drawText(QRect(x, y, width, line.cell), Qt::AlignCenter, c.text);
            }
        }
        x += width;
    }
}

QImage tinted(const QImage& mask, const QColor& colour) {
    QImage out = mask;
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_SourceIn);
    p.fillRect(out.rect(), colour);
    return out;
}

// The characters of a line in their colour, edged; a blank character colour leaves the picture showing
// through the edging, a blank edging colour leaves the characters without.
void draw_edged(QPainter& painter, const QImage& mask, QPoint at, int char_colour, int edge_colour,
                int level_percent, int edge_width) {
    QImage layer(mask.size(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    QPainter l(&layer);
    if (edge_colour >= 0 && edge_colour < kBlank) {
        const QImage edge = tinted(mask, level_colour(edge_colour, 100));
        for (int r = 1; r <= edge_width; ++r) {
            for (int dy = -r; dy <= r; dy += r) {
                for (int dx = -r; dx <= r; dx += r) {
                    if (dx != 0 || dy != 0) l.drawImage(dx, dy, edge);
                }
            }
        }
    }
    if (char_colour >= 0 && char_colour < kBlank) {
        l.drawImage(0, 0, tinted(mask, level_colour(char_colour, level_percent)));
    } else {
        l.setCompositionMode(QPainter::CompositionMode_DestinationOut);
        l.drawImage(0, 0, mask);
    }
    l.end();
    painter.drawImage(at, layer);
}

void draw_title(QPainter& painter, const PreviewScene& scene, const PageSettings& page) {
    const int index = size_index(page);
    const int cell = g.cell[static_cast<std::size_t>(index)];
    const QRect band = title_band(page);
    if (page.background_fill == 1) {
        const int fill = page.edge_colour >= 0 && page.edge_colour < kBlank ? page.edge_colour : kBlack;
        painter.fillRect(band, level_colour(fill, 100));
    }
    if (page.blink == 1 && (scene.time_ms / g.blink_half_period_ms) % 2 == 1) return;
    const std::vector<TitleCell> cells = title_cells(page.title);
    if (cells.empty()) return;

    const int edge = g.edge_width[static_cast<std::size_t>(index)];
    QImage mask(g.line_width + 2 * edge, cell + 2 * edge, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        QPainter m(&mask);
        m.setPen(Qt::white);
        m.setFont(cell_font(cell));
        m.setClipRect(edge, 0, g.line_width, mask.height());
        const LineCells line{&cells, cell, &scene.glyphs, &glyph_size_of(index)};
        const int width = cells_width(cells, cell);
        if (width <= g.line_width) {
            draw_cell_shapes(m, line, edge, edge);
        } else {
            // A title longer than its line runs to the left and comes round again after a gap.
            const int speed = g.scroll_dots_per_s[static_cast<std::size_t>(clamped(page.scroll_speed, 0, 3))];
            const int period = width + g.scroll_gap_cells * cell;
            const int shift = static_cast<int>(static_cast<long long>(scene.time_ms) * speed / 1000 % period);
            draw_cell_shapes(m, line, edge - shift, edge);
            draw_cell_shapes(m, line, edge - shift + period, edge);
        }
    }
    const QRect first = first_title_cell(page);
    draw_edged(painter, mask, first.topLeft() - QPoint(edge, edge), page.char_colour, page.edge_colour,
               page.char_level == 0 ? g.low_level_percent : 100, edge);
}

// The date and time line in the fields the display range names.
QString clock_text(const PreviewClock& c, int range) {
    static constexpr bool kShown[8][6] = {
        {true, true, true, true, true, true},    {true, true, true, true, true, false},
        {true, true, true, false, false, false}, {false, true, true, true, true, true},
        {false, true, true, true, true, false},  {false, true, true, false, false, false},
        {false, false, false, true, true, true}, {false, false, false, true, true, false}};
    const bool* shown = kShown[clamped(range, 0, 7)];
    const int values[6] = {c.year, c.month, c.day, c.hour, c.minute, c.second};
    QString date;
    QString time;
    for (int f = 0; f < 6; ++f) {
        if (!shown[f]) continue;
        QString& part = f < 3 ? date : time;
        if (!part.isEmpty()) part += f < 3 ? QLatin1Char('/') : QLatin1Char(':');
        part += QString::number(values[f]).rightJustified(f == 0 ? 4 : 2, QLatin1Char('0'));
    }
    return date.isEmpty() || time.isEmpty() ? date + time : date + QLatin1Char(' ') + time;
}

void draw_clock(QPainter& painter, const PreviewScene& scene) {
    const SettingsModel& m = scene.model;
    if (m.date_display != 1) return;
    const int cell = g.date_cell[static_cast<std::size_t>(clamped(m.date_display_size, 0, 1))];
    const QString text = clock_text(scene.clock, m.date_display_range);
    std::vector<TitleCell> cells;
    for (const QChar c : text) cells.push_back({TitleCell::Kind::kChar, QString(c), -1, true, c == ' '});
    const int edge = 2;
    const int width = cells_width(cells, cell);
    QImage mask(width + 2 * edge, cell + 2 * edge, QImage::Format_ARGB32_Premultiplied);
    mask.fill(Qt::transparent);
    {
        QPainter p(&mask);
        p.setPen(Qt::white);
        p.setFont(cell_font(cell));
        draw_cell_shapes(p, LineCells{&cells, cell}, edge, edge);
    }
    draw_edged(painter, mask, QPoint(g.date_right - width - edge, g.date_top - edge), kWhite, kBlack, 100,
               edge);
}

}  // namespace

const QImage& colour_bars() {
    static const QImage bars = [] {
        // The seven bars at 75 %: white, yellow, cyan, green, magenta, red, blue.
        static constexpr QRgb kBars[] = {0xFFBFBFBF, 0xFFBFBF00, 0xFF00BFBF, 0xFF00BF00,
                                         0xFFBF00BF, 0xFFBF0000, 0xFF0000BF};
        QImage image(g.width, g.height, QImage::Format_ARGB32_Premultiplied);
        QPainter p(&image);
        for (int i = 0; i < 7; ++i) {
            const int left = g.width * i / 7;
            p.fillRect(QRect(left, 0, g.width * (i + 1) / 7 - left, g.height), QColor::fromRgb(kBars[i]));
        }
        return image;
    }();
    return bars;
}

QImage fit_test_picture(const QImage& image) {
    if (image.isNull()) return {};
    const QImage scaled =
        image.convertToFormat(QImage::Format_ARGB32_Premultiplied)
            .scaled(g.width, g.height, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    return scaled.copy((scaled.width() - g.width) / 2, (scaled.height() - g.height) / 2, g.width, g.height);
}

int cells_per_line(const PageSettings& page) {
    return g.line_width / g.cell[static_cast<std::size_t>(size_index(page))];
}

QRect title_band(const PageSettings& page) {
    const int cell = g.cell[static_cast<std::size_t>(size_index(page))];
    const int height = cell + 2 * g.band_padding;
    const int offset = clamped(page.display_offset, 0, 15) * g.offset_step;
    const int top =
        page.display_position == 0 ? g.top_margin + offset : g.height - g.bottom_margin - offset - height;
    return QRect(g.line_left - g.band_padding, top, g.line_width + 2 * g.band_padding, height);
}

QRect first_title_cell(const PageSettings& page) {
    const int cell = g.cell[static_cast<std::size_t>(size_index(page))];
    const QRect band = title_band(page);
    return QRect(g.line_left, band.top() + g.band_padding, cell, cell);
}

bool preview_animates(const PageSettings& page) {
    if (page.blink == 1) return true;
    const std::vector<TitleCell> cells = title_cells(page.title);
    return cells_width(cells, g.cell[static_cast<std::size_t>(size_index(page))]) > g.line_width;
}

void draw_monitor_preview(QPainter& painter, const PreviewScene& scene) {
    const QImage& picture = scene.picture && !scene.picture->isNull() ? *scene.picture : colour_bars();
    painter.drawImage(QRect(0, 0, g.width, g.height), picture);
    const PageSettings& page =
        scene.model.pages[static_cast<std::size_t>(clamped(scene.page, 0, kPageCount - 1))];
    draw_title(painter, scene, page);
    draw_clock(painter, scene);
}

QImage render_monitor_preview(const PreviewScene& scene, QSize size) {
    QImage image(g.width, g.height, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    draw_monitor_preview(painter, scene);
    painter.end();
    // Drawn at the picture's own size and then made smaller: thin strokes of text drawn small through a
    // scaled painter break up, the averaged picture keeps them.
    if (size.isEmpty() || size == image.size()) return image;
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace tvx
