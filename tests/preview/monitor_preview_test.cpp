#include "preview/monitor_preview.h"

#include <QGuiApplication>
#include <string>

#include <gtest/gtest.h>

#include "preview/title_cells.h"

namespace tvx {
namespace {

const PreviewGeometry& g = kPreviewGeometry;

// Fonts and images need a QGuiApplication; the tests run on the offscreen platform.
void ensure_gui() {
    static int argc = 1;
    static char name[] = "test_preview";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    new QGuiApplication(argc, argv);
}

// A glyph cell of slot 0 (code A365) in a title.
const std::string kGlyph0("\x10\x20", 2);

// Slot 0 of the size's bank with one lit dot at (x, y), the rest dark.
void light_one_dot(GlyphModel& glyphs, const GlyphSize& size, int x, int y) {
    std::string& slot = glyph_bank(glyphs, size)[0];
    std::fill(slot.begin(), slot.begin() + size.digits, '0');
    slot[static_cast<std::size_t>(y * size.digits_per_row + x / 4)] = "8421"[x % 4];
}

class MonitorPreview : public ::testing::Test {
  protected:
    void SetUp() override { ensure_gui(); }
    PageSettings& page() { return model.pages[0]; }
    QImage render(int time_ms = 0) {
        return render_monitor_preview(PreviewScene{model, glyphs, 0, time_ms, {}});
    }
    QRgb bars_at(QPoint p) const { return colour_bars().pixel(p); }

    SettingsModel model;
    GlyphModel glyphs;
};

TEST_F(MonitorPreview, TopAndBottomAndEveryOffsetMoveTheLineAwayFromItsEdge) {
    PageSettings p;
    for (int size = 0; size < 3; ++size) {
        p.char_size = size;
        p.display_position = 0;
        p.display_offset = 0;
        EXPECT_EQ(title_band(p).top(), g.top_margin);
        p.display_position = 1;
        EXPECT_EQ(title_band(p).bottom() + 1, g.height - g.bottom_margin);
        for (int offset = 1; offset <= 15; ++offset) {
            p.display_offset = offset;
            p.display_position = 0;
            const QRect top = title_band(p);
            p.display_offset = offset - 1;
            EXPECT_EQ(title_band(p).top() + g.offset_step, top.top()) << "TOP goes down with the offset";
            p.display_position = 1;
            const QRect bottom_before = title_band(p);
            p.display_offset = offset;
            EXPECT_EQ(title_band(p).top() + g.offset_step, bottom_before.top()) << "BOTTOM goes up";
            EXPECT_LT(top.bottom(), title_band(p).top()) << "TOP stays above BOTTOM";
        }
    }
    // Values a foreign document may hold are taken as the nearest.
    p.display_position = 0;
    p.display_offset = 99;
    EXPECT_EQ(title_band(p).top(), g.top_margin + 15 * g.offset_step);
}

TEST_F(MonitorPreview, GlyphDotsLandWhereTheBankSaysInCellsOfTheSize) {
    for (const GlyphSize* size : kGlyphSizes) {
        SCOPED_TRACE(size->dots);
        glyphs = GlyphModel();
        page().char_size = size->index;
        page().display_position = 0;
        page().display_offset = 2;
        page().title = kGlyph0 + kGlyph0;
        light_one_dot(glyphs, *size, 5, 7);
        EXPECT_EQ(cells_per_line(page()), g.line_width / size->dots);
        const QImage image = render();
        ASSERT_EQ(image.size(), QSize(720, 540));
        const QPoint cell = first_title_cell(page()).topLeft();
        EXPECT_EQ(cell, QPoint(g.line_left, g.top_margin + 2 * g.offset_step + g.band_padding));
        // The dot in both cells, one cell width apart, white; its neighbours edged black; the picture around.
        for (int k = 0; k < 2; ++k) {
            const QPoint dot = cell + QPoint(k * size->dots + 5, 7);
            EXPECT_EQ(image.pixel(dot), g.colours[kWhite]) << k;
            EXPECT_EQ(image.pixel(dot + QPoint(1, 0)), g.colours[kBlack]) << k;
            EXPECT_EQ(image.pixel(dot + QPoint(0, -1)), g.colours[kBlack]) << k;
            const QPoint away = dot + QPoint(12, 12);
            EXPECT_EQ(image.pixel(away), bars_at(away)) << k;
        }
        // The same page at BOTTOM: nothing left at the top.
        page().display_position = 1;
        const QPoint was = cell + QPoint(5, 7);
        EXPECT_EQ(render().pixel(was), bars_at(was));
        EXPECT_EQ(render().pixel(first_title_cell(page()).topLeft() + QPoint(5, 7)), g.colours[kWhite]);
    }
}

TEST_F(MonitorPreview, ColoursLevelFillAndAnEmptyTitle) {
    page().title.clear();
    EXPECT_EQ(render(), colour_bars().convertToFormat(render().format()))
        << "an empty title leaves the picture";
    page().background_fill = 1;
    const QRect band = title_band(page());
    EXPECT_EQ(render().pixel(band.topLeft()), g.colours[kBlack]) << "filled in the edging colour";
    EXPECT_EQ(render().pixel(band.topLeft() - QPoint(0, 1)), bars_at(band.topLeft() - QPoint(0, 1)));

    page().background_fill = 0;
    page().title = kGlyph0;
    light_one_dot(glyphs, kMedium, 0, 0);
    const QPoint dot = first_title_cell(page()).topLeft();
    page().char_colour = kRed;
    page().edge_colour = kBlue;
    EXPECT_EQ(render().pixel(dot), g.colours[kRed]);
    EXPECT_EQ(render().pixel(dot + QPoint(1, 1)), g.colours[kBlue]);
    page().char_level = 0;
    EXPECT_EQ(render().pixel(dot), qRgb(0xEB * g.low_level_percent / 100, 0x10 * g.low_level_percent / 100,
                                        0x10 * g.low_level_percent / 100));
    // Blank characters let the picture through their edging; blank edging leaves none.
    page().char_colour = kBlank;
    EXPECT_EQ(render().pixel(dot), bars_at(dot));
    EXPECT_EQ(render().pixel(dot + QPoint(1, 1)), g.colours[kBlue]);
    page().edge_colour = kBlank;
    EXPECT_EQ(render().pixel(dot + QPoint(1, 1)), bars_at(dot + QPoint(1, 1)));
}

TEST_F(MonitorPreview, BlinkHidesTheTextEveryOtherHalfPeriodButNotTheBand) {
    page().title = kGlyph0;
    page().background_fill = 1;
    light_one_dot(glyphs, kMedium, 3, 3);
    const QPoint dot = first_title_cell(page()).topLeft() + QPoint(3, 3);
    EXPECT_FALSE(preview_animates(page()));
    page().blink = 1;
    EXPECT_TRUE(preview_animates(page()));
    EXPECT_EQ(render(0).pixel(dot), g.colours[kWhite]);
    EXPECT_EQ(render(g.blink_half_period_ms).pixel(dot), g.colours[kBlack]);
    EXPECT_EQ(render(2 * g.blink_half_period_ms + 1).pixel(dot), g.colours[kWhite]);
}

TEST_F(MonitorPreview, ATitleLongerThanItsLineScrollsLeftAtItsSpeedAndComesRound) {
    page().char_size = 0;  // 14 cells a line
    std::string title;
    for (int i = 0; i < 14; ++i) title += kGlyph0;
    page().title = title;
    light_one_dot(glyphs, kLarge, 40, 10);
    EXPECT_FALSE(preview_animates(page())) << "a full line stays";
    page().title += "\x81\x40\x81\x40";
    EXPECT_FALSE(preview_animates(page())) << "filler spaces at the end are no text";
    page().title = title + kGlyph0 + kGlyph0;  // 16 cells
    EXPECT_TRUE(preview_animates(page()));
    const QPoint second = first_title_cell(page()).topLeft() + QPoint(48 + 40, 10);
    for (int speed = 0; speed < 4; ++speed) {
        page().scroll_speed = speed;
        EXPECT_EQ(render(0).pixel(second), g.colours[kWhite]) << "the start shows at time 0";
        // Later the dot of the second cell has moved left by the speed's distance in that time.
        const int ms = 40 * 1000 / g.scroll_dots_per_s[static_cast<std::size_t>(speed)];
        EXPECT_EQ(render(ms).pixel(second - QPoint(40, 0)), g.colours[kWhite]) << speed;
    }
    // After one period (the title and the gap) the picture is the start again.
    page().scroll_speed = 3;
    const int period_ms = (16 + g.scroll_gap_cells) * 48 * 1000 / g.scroll_dots_per_s[3];
    EXPECT_EQ(render(period_ms), render(0));
}

TEST_F(MonitorPreview, TheDateAndTimeLineAsTheEditorSetsIt) {
    const QImage without = render();
    model.date_display = 1;
    const QImage normal_small = render();
    EXPECT_NE(normal_small, without);
    // Only the top right changes.
    EXPECT_EQ(normal_small.copy(0, 100, 720, 440), without.copy(0, 100, 720, 440));
    model.date_display_size = 1;
    model.date_display_range = 7;  // hour and minute: shorter, taller
    const QImage larger = render();
    EXPECT_NE(larger, normal_small);
    EXPECT_EQ(larger.copy(0, 0, 500, 540), without.copy(0, 0, 500, 540)) << "five characters stay right";
}

TEST(TitleCells, CharactersHalfWidthGlyphsAndTheEnd) {
    // "あ", "A", a glyph cell, a line break cell, "あ", then filler: five cells, the filler dropped.
    const std::string title = std::string(
                                  "\x82\xA0"
                                  "A",
                                  3) +
                              kGlyph0 + "\r\n" + "\x82\xA0" + "\x81\x40\x81\x40";
    const std::vector<TitleCell> cells = title_cells(title);
    ASSERT_EQ(cells.size(), 5u);
    EXPECT_EQ(cells[0].text, QString::fromUtf8("あ"));
    EXPECT_FALSE(cells[0].half);
    EXPECT_TRUE(cells[1].half);
    EXPECT_EQ(cells[2].kind, TitleCell::Kind::kGlyph);
    EXPECT_EQ(cells[2].slot, 0);
    EXPECT_EQ(cells[3].kind, TitleCell::Kind::kGlyph);
    EXPECT_EQ(cells[3].slot, -1) << "a line break names no glyph";
    // A zero byte where a cell starts ends the title; inside a glyph cell it does not.
    EXPECT_EQ(title_cells(std::string("\x82\xA0\0\0\x82\xA0", 6)).size(), 1u);
    EXPECT_EQ(title_cells(std::string("\x10\x00\x82\xA0", 4)).size(), 2u);
    EXPECT_TRUE(title_cells("").empty());
    // A lead byte at the very end stands alone.
    EXPECT_EQ(title_cells("\x82").size(), 1u);
}

}  // namespace
}  // namespace tvx
