#include "model/settings_document.h"

#include <sstream>

#include <gtest/gtest.h>

#include "protocol/hostile_model.h"
#include "protocol/model_dump.h"

namespace tvx {
namespace {

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// The default document written out by hand from its layout.
std::string default_document() {
    std::string d;
    const auto add = [&d](const std::string& s, int times = 1) {
        for (int i = 0; i < times; ++i) d += s + "\r\n";
    };
    add("0", 3);
    add("s", 64);
    for (const char* v : {"1", "1", "7", "3", "0", "1", "7", "0", "0", "1"}) add(v, 64);
    for (int day = 0; day < 31; ++day) {
        for (int h = 0; h < 24; ++h) add(std::to_string(h));
    }
    add("0", 744);
    add("65", 744);
    for (const char* v : {"0", "0", "1", "1", "010"}) add(v);
    for (int n = 0; n < 8; ++n) add(std::to_string(n));
    for (const char* v : {"0", "0", "0", "0", "2", "0", "0", "5"}) add(v);
    return d;
}

TEST(SettingsDocument, DefaultModelMatchesTheLayoutByteForByte) {
    const std::string text = write_document(SettingsModel{});
    EXPECT_EQ(lines_of(text).size(), static_cast<std::size_t>(kDocumentLines));
    EXPECT_EQ(text, default_document());
}

TEST(SettingsDocument, EveryFieldRoundTrips) {
    SettingsModel model;
    model.date_display = 1;
    model.date_display_range = 6;
    model.date_display_size = 1;
    for (int p = 0; p < kPageCount; ++p) {
        PageSettings& page = model.pages[p];
        page.char_size = p % 3;
        page.display_position = p % 2;
        page.display_offset = p % 16;
        page.scroll_speed = p % 4;
        page.blink = (p + 1) % 2;
        page.auto_switch = p % 2;
        page.char_colour = p % 9;
        page.edge_colour = (p + 4) % 9;
        page.background_fill = (p / 2) % 2;
        page.char_level = (p / 3) % 2;
    }
    model.pages[0].title = "\x93\xfa\x96\x7b";                  // 日本
    model.pages[5].title = "\x10\x20\x81\x40";                  // a glyph cell and an ideographic space
    model.pages[6].title = std::string("\x11\x00\x82\xa0", 4);  // glyph cell holding a zero byte
    for (int d = 0; d < kScheduleDays; ++d) {
        for (int e = 0; e < kScheduleEntries; ++e)
            model.schedule[d][e] = {(d + e) % 24, (d * e) % 60, (d + 2 * e) % 66};
    }
    model.alarm_mode = 1;
    model.alarm_polarity = 1;
    model.alarm_return = 0;
    model.alarm_display = 0;
    model.alarm_hold_time = "999";
    model.connector_pages = {63, 62, 1, 0, 5, 6, 7, 40};
    model.remote_mode = 2;
    model.connector_input = 1;
    model.power_on_page = 64;
    model.video_loss_background = 1;
    model.network.subnet_class = 0;
    model.network.connection_try = 1;
    model.network.keep_alive = 1;
    model.network.time_register = 0;

    const std::string text = write_document(model);
    SettingsModel back;
    back.pages[0].blink = 1;  // unsaved
    read_document(back, text);
    EXPECT_EQ(write_document(back), text);
    EXPECT_EQ(back.pages[6].title, model.pages[6].title);
    EXPECT_FALSE(data_modified(back));
}

TEST(SettingsDocument, ATitleOfTheLetterSAloneIsWrittenAsTheEmptyTitleIs) {
    std::vector<std::string> lines = lines_of(write_document(SettingsModel{}));
    EXPECT_EQ(lines[5], "s");
    SettingsModel model;
    model.pages[2].title = "s";
    model.pages[3].title = "S";
    model.pages[4].title = "ss";
    const std::string text = write_document(model);
    EXPECT_EQ(lines_of(text)[5], "s");
    EXPECT_EQ(lines_of(text)[6], "S");
    EXPECT_EQ(lines_of(text)[7], "ss");
    SettingsModel back;
    back.pages[1].title = "x";
    read_document(back, text);
    EXPECT_EQ(back.pages[1].title, "");
    EXPECT_EQ(back.pages[2].title, "");
    EXPECT_EQ(back.pages[3].title, "S");
    EXPECT_EQ(back.pages[4].title, "ss");

    // Earlier builds wrote it as an escape; such a document still gives the letter back.
    lines = lines_of(text);
    lines[5] = "\x0E\x4C";
    std::string earlier;
    for (const auto& l : lines) earlier += l + "\r\n";
    read_document(back, earlier);
    EXPECT_EQ(back.pages[2].title, "s");
}

// Whatever the title and hold-time fields hold, the document gives the same model back, through every
// reading, and keeps its 2960 lines.
TEST(SettingsDocument, ModelsWithAwkwardTextComeBackUnchanged) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        const SettingsModel written = testing::hostile_model(seed);
        const std::string text = write_document(written);
        ASSERT_EQ(lines_of(text).size(), static_cast<std::size_t>(kDocumentLines)) << seed;
        const std::string expected = testing::dump_document_settings(written);

        SettingsModel lenient;
        read_document(lenient, text);
        EXPECT_EQ(testing::dump_document_settings(lenient), expected) << "seed " << seed;

        SettingsModel strict;
        const auto problem = read_document_strict(strict, text);
        ASSERT_FALSE(problem.has_value())
            << "seed " << seed << " line " << problem->line << ": " << problem->what;
        EXPECT_EQ(testing::dump_document_settings(strict), expected) << "seed " << seed;

        // Each awkward text as every title and as the hold time.
        for (const std::string& awkward : testing::awkward_texts()) {
            SettingsModel model;
            for (PageSettings& page : model.pages) page.title = awkward;
            model.pages[0].title = awkward + "\x82\xA0" + awkward;
            model.alarm_hold_time = awkward;
            SettingsModel back;
            read_document(back, write_document(model));
            EXPECT_EQ(testing::dump_document_settings(back), testing::dump_document_settings(model))
                << testing::hex(awkward);
        }
    }
}

TEST(SettingsDocument, AnEmptyOrBlankHoldTimeFromAnEarlierBuildKeepsTheSettingsAfterIt) {
    SettingsModel model;
    model.connector_pages = {10, 11, 12, 13, 14, 15, 16, 17};
    model.remote_mode = 2;
    model.power_on_page = 40;
    model.network.subnet_class = 0;
    model.network.keep_alive = 1;
    model.network.time_register = 1;
    for (const char* hold : {"", " ", "   ", "5 x", " 5", "\t"}) {
        // Earlier builds wrote the hold time as typed.
        std::vector<std::string> lines = lines_of(write_document(model));
        lines[2943] = hold;
        std::string text;
        for (const auto& l : lines) text += l + "\r\n";

        SettingsModel lenient;
        read_document(lenient, text);
        SettingsModel strict;
        ASSERT_FALSE(read_document_strict(strict, text).has_value()) << "[" << hold << "]";
        for (const SettingsModel* back : {&lenient, &strict}) {
            EXPECT_EQ(back->alarm_hold_time, hold);
            EXPECT_EQ(back->connector_pages, model.connector_pages) << "[" << hold << "]";
            EXPECT_EQ(back->remote_mode, 2);
            EXPECT_EQ(back->power_on_page, 40);
            EXPECT_EQ(back->network.subnet_class, 0);
            EXPECT_EQ(back->network.keep_alive, 1);
            EXPECT_EQ(back->network.time_register, 1);
        }
    }
}

TEST(SettingsDocument, LineBreaksAndGlyphCellsWithCrOrLfKeepOneLinePerTitle) {
    SettingsModel model;
    // あ, a typed line break, い, and the glyph cells whose low byte is LF or CR.
    model.pages[0].title = std::string("\x82\xa0\r\n\x82\xa2\x10\x0a\x13\x0d", 10);
    model.pages[1].title = "\x82\xa0";
    const std::string text = write_document(model);
    EXPECT_EQ(lines_of(text).size(), static_cast<std::size_t>(kDocumentLines));
    EXPECT_EQ(lines_of(text)[4], "\x82\xa0");

    SettingsModel back;
    read_document(back, text);
    EXPECT_EQ(back.pages[0].title, model.pages[0].title);
    EXPECT_EQ(back.pages[1].title, model.pages[1].title);
}

TEST(SettingsDocument, ShortFileKeepsTheFieldsItDoesNotReach) {
    SettingsModel model;
    model.pages[0].char_colour = kRed;
    model.alarm_hold_time = "123";
    model.network.time_register = 2;
    std::string text = "1\r\n3\r\n1\r\n";
    for (int p = 0; p < kPageCount; ++p) text += "s\r\n";
    text += "2\r\n0\r\n";  // char_size of pages 1 and 2
    read_document(model, text);
    EXPECT_EQ(model.date_display, 1);
    EXPECT_EQ(model.date_display_range, 3);
    EXPECT_EQ(model.pages[0].char_size, 2);
    EXPECT_EQ(model.pages[1].char_size, 0);
    EXPECT_EQ(model.pages[2].char_size, 1);
    EXPECT_EQ(model.pages[0].char_colour, kRed);
    EXPECT_EQ(model.alarm_hold_time, "123");
    EXPECT_EQ(model.network.time_register, 2);
}

TEST(SettingsDocument, OutOfRangeValuesTakeTheFieldDefault) {
    std::vector<std::string> lines = lines_of(write_document(SettingsModel{}));
    lines[1] = "8";          // date_display_range 0..7
    lines[67] = "3";         // char_size of page 1
    lines[451] = "9";        // char_colour of page 1 (0..8): 9 is out
    lines[707 + 5] = "-1";   // hour of day 1 entry 6
    lines[2195 + 3] = "66";  // page of day 1 entry 4
    lines[2944 + 2] = "64";  // connector No.3
    lines[2954] = "65";      // power_on_page 0..64
    lines[2959] = "6";       // time_register 0..5
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";

    SettingsModel model;
    model.date_display_range = 4;
    read_document(model, text);
    EXPECT_EQ(model.date_display_range, 0);
    EXPECT_EQ(model.pages[0].char_size, 1);
    EXPECT_EQ(model.pages[0].char_colour, kWhite);
    EXPECT_EQ(model.schedule[0][5].hour, 5);
    EXPECT_EQ(model.schedule[0][3].page, kScheduleOffPage);
    EXPECT_EQ(model.connector_pages[2], 2);
    EXPECT_EQ(model.power_on_page, 0);
    EXPECT_EQ(model.network.time_register, 5);
}

TEST(SettingsDocument, ANonNumberEndsTheReadingThere) {
    std::vector<std::string> lines = lines_of(write_document(SettingsModel{}));
    for (int p = 0; p < 64; ++p) lines[67 + p] = "2";
    lines[67 + 10] = "x2";
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    SettingsModel model;
    model.pages[20].blink = 1;
    read_document(model, text);
    EXPECT_EQ(model.pages[9].char_size, 2);
    EXPECT_EQ(model.pages[10].char_size, 1);
    EXPECT_EQ(model.pages[11].char_size, 1);
    EXPECT_EQ(model.pages[20].blink, 1);
}

TEST(SettingsDocument, HoldTimeIsCutToThreeCharacters) {
    std::vector<std::string> lines = lines_of(write_document(SettingsModel{}));
    lines[2943] = "12345";
    lines[2944] = "7";  // connector No.1 still read as the next word
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    SettingsModel model;
    read_document(model, text);
    EXPECT_EQ(model.alarm_hold_time, "123");
    EXPECT_EQ(model.connector_pages[0], 7);

    // Characters, not bytes: three double-byte characters stay whole.
    lines[2943] = "\x93\xFA\x96\x7B\x8C\xEA\x82\xA0";
    text.clear();
    for (const auto& l : lines) text += l + "\r\n";
    read_document(model, text);
    EXPECT_EQ(model.alarm_hold_time, "\x93\xFA\x96\x7B\x8C\xEA");
}

TEST(SettingsDocument, OverlongTitleLineKeepsWholeCharactersAndTheNextPageItsOwnLine) {
    std::vector<std::string> lines = lines_of(write_document(SettingsModel{}));
    std::string long_title = "a";
    for (int i = 0; i < 300; ++i) long_title += "\x82\xa0";  // 601 bytes, odd start
    lines[3] = long_title;
    lines[4] = "\x82\xa2";
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    SettingsModel model;
    read_document(model, text);
    EXPECT_EQ(model.pages[0].title.size(), 449u);
    EXPECT_EQ(model.pages[0].title, long_title.substr(0, 449));
    EXPECT_EQ(model.pages[1].title, "\x82\xa2");

    // Even start: 449 would split a character, so 448 bytes stay.
    lines[3] = long_title.substr(1);
    text.clear();
    for (const auto& l : lines) text += l + "\r\n";
    read_document(model, text);
    EXPECT_EQ(model.pages[0].title.size(), 448u);
    EXPECT_EQ(model.pages[1].title, "\x82\xa2");
}

TEST(SettingsDocument, NumbersMayBeSpreadOverBlankLinesAndLfOnlyLineEnds) {
    std::string text = "1\n0\n1\n";
    for (int p = 0; p < kPageCount; ++p) text += "s\n";
    text += "\n\n0 0\n  2\n";
    SettingsModel model;
    read_document(model, text);
    EXPECT_EQ(model.date_display_size, 1);
    EXPECT_EQ(model.pages[0].char_size, 0);
    EXPECT_EQ(model.pages[1].char_size, 0);
    EXPECT_EQ(model.pages[2].char_size, 2);
}

}  // namespace
}  // namespace tvx
