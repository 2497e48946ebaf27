// The monitor preview's drawing times (bench/preview_render.sh): 1,000 renders of a page whose title is
// 224 cells with glyph cells among them (scrolling, on a filled band, with the date line), at the
// picture's size and at the editors' size, then the page
// overview of 64 such pages opened and drawn. Prints one line each, in milliseconds.

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "model/tool_state.h"
#include "preview/monitor_preview.h"
#include "ui/page_overview_dialog.h"

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double percentile95(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() * 95 / 100];
}

// 224 cells: kanji and kana, every fourth a glyph cell (slots 0 to 25, codes A365 upward).
std::string full_title() {
    const char* const kanji[] = {"\x93\xFA", "\x96\x7B", "\x82\xA0", "\x83\x65"};
    std::string title;
    for (int i = 0; i < 224; ++i) {
        if (i % 4 == 3) {
            title += '\x10';
            title += static_cast<char>(0x20 + (i / 4) % 26);
        } else {
            title += kanji[i % 4];
        }
    }
    return title;
}

void fill_banks(tvx::GlyphModel& glyphs) {
    std::mt19937 random(230);
    for (const tvx::GlyphSize* size : tvx::kGlyphSizes) {
        for (std::string& slot : tvx::glyph_bank(glyphs, *size)) {
            for (int i = 0; i < size->digits; ++i)
                slot[static_cast<std::size_t>(i)] = "0123456789ABCDEF"[random() % 16];
        }
    }
}

std::vector<double> render_times(tvx::ToolState& tool, QSize size, int runs) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        // Each render at another moment: the scroll moves and the blink turns.
        const QImage image = tvx::render_monitor_preview(
            tvx::PreviewScene{tool.model, tool.glyphs, 0, i * 40, {2026, 12, 8, 12, 0, i % 60}, nullptr},
            size);
        ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        if (image.isNull()) std::exit(1);
    }
    return ms;
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;

    tvx::ToolState tool;
    tvx::reset_settings(tool);
    fill_banks(tool.glyphs);
    const std::string title = full_title();
    for (auto& page : tool.model.pages) {
        page.title = title;
        page.blink = 0;  // a blinking title skips its text half the time: measure the text every time
        page.background_fill = 1;
    }
    tool.model.date_display = 1;

    for (const QSize size : {QSize(720, 540), QSize(360, 270)}) {
        for (int size_index = 0; size_index < 3; ++size_index) {
            for (auto& page : tool.model.pages) page.char_size = size_index;
            const std::vector<double> ms = render_times(tool, size, runs);
            std::printf("render %dx%d %s: median %.3f ms, p95 %.3f ms over %d\n", size.width(), size.height(),
                        size_index == 0   ? "LARGE"
                        : size_index == 1 ? "MEDIUM"
                                          : "SMALL",
                        median(ms), percentile95(ms), runs);
        }
    }

    std::vector<double> open_ms;
    for (int i = 0; i < 7; ++i) {
        QElapsedTimer timer;
        timer.start();
        tvx::PageOverviewDialog overview(tool, nullptr, nullptr);
        overview.show();
        QApplication::processEvents();
        open_ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        if (overview.list()->count() != tvx::kPageCount) return 1;
    }
    std::printf("overview of %d pages: median open %.1f ms over %zu\n", tvx::kPageCount, median(open_ms),
                open_ms.size());
    return 0;
}
