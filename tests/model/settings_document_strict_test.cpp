#include <gtest/gtest.h>

#include "model/settings_document.h"

namespace tvx {
namespace {

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::string::npos) break;
        start = end + 2;
    }
    return lines;
}

std::string joined(const std::vector<std::string>& lines, const char* end = "\r\n") {
    std::string text;
    for (const std::string& line : lines) text += line + end;
    return text;
}

SettingsModel varied_model() {
    SettingsModel model;
    model.date_display = 1;
    model.date_display_range = 7;
    model.pages[0].title = "\x93\xfa\x96\x7b";      // 日本
    model.pages[3].title = "\x82\xa0\r\n\x82\xa2";  // a line break between two characters
    model.pages[63].title = std::string(448, '\x81').replace(1, 1, "\x40");
    for (int p = 0; p < kPageCount; ++p) {
        model.pages[p].display_offset = p % 16;
        model.pages[p].char_colour = p % 9;
    }
    model.schedule[30][23] = {23, 59, kAutoSwitchPage};
    model.alarm_hold_time = "045";
    model.connector_pages[7] = 63;
    model.power_on_page = kAutoSwitchPage;
    model.network.time_register = 0;
    return model;
}

TEST(StrictDocument, AWrittenDocumentComesBackWholeAlsoWithLfOnlyLinesAndBlankLinesBetweenNumbers) {
    const SettingsModel written = varied_model();
    const std::string text = write_document(written);

    SettingsModel model;
    model.pages[0].blink = 1;  // unsaved
    ASSERT_FALSE(read_document_strict(model, text).has_value());
    EXPECT_EQ(write_document(model), text);
    EXPECT_EQ(model.pages[3].title, written.pages[3].title);
    EXPECT_FALSE(data_modified(model));

    std::vector<std::string> lines = lines_of(text);
    lines[800] += "\n";  // a blank line among the numbers, as the tool reads them
    SettingsModel lf_only;
    ASSERT_FALSE(read_document_strict(lf_only, joined(lines, "\n") + "\n\n").has_value());
    EXPECT_EQ(write_document(lf_only), text);
}

TEST(StrictDocument, RefusesWhatCannotBeReadWholeAndNamesTheLine) {
    const std::vector<std::string> good = lines_of(write_document(varied_model()));
    struct Case {
        const char* what;
        std::function<void(std::vector<std::string>&)> damage;
        int line;
    };
    const Case cases[] = {
        {"empty file", [](auto& l) { l.clear(); }, 1},
        {"a line short", [](auto& l) { l.pop_back(); }, 2960},
        {"titles cut off", [](auto& l) { l.resize(40); }, 41},
        {"not a number", [](auto& l) { l[711] = "1x"; }, 712},
        {"head not a number", [](auto& l) { l[2] = ""; }, 3},
        {"out of range in the head", [](auto& l) { l[1] = "8"; }, 2},
        {"colour out of range", [](auto& l) { l[451] = "9"; }, 452},
        {"negative hour", [](auto& l) { l[707] = "-1"; }, 708},
        {"schedule page beyond off", [](auto& l) { l[2195] = "66"; }, 2196},
        {"time register out of range", [](auto& l) { l[2959] = "6"; }, 2960},
        {"title longer than a buffer", [](auto& l) { l[4] = std::string(450, 'a'); }, 5},
        {"a value too many", [](auto& l) { l.push_back("0"); }, 2961},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines = good;
        c.damage(lines);
        SettingsModel model;
        model.pages[0].char_size = 2;  // unsaved
        const auto problem = read_document_strict(model, joined(lines));
        ASSERT_TRUE(problem.has_value()) << c.what;
        EXPECT_EQ(problem->line, c.line) << c.what << ": " << problem->what;
        EXPECT_FALSE(problem->what.empty());
        // Nothing of a refused document is taken.
        EXPECT_EQ(model.pages[0].char_size, 2) << c.what;
        EXPECT_TRUE(data_modified(model)) << c.what;

        // The desktop's reading refuses the same, at the same line, except a document that merely ends
        // early (below).
        const DocumentReading checked = read_document_checked(model, joined(lines));
        if (problem->fault == DocumentFault::kEnded && c.line > 1) continue;
        ASSERT_TRUE(checked.refused.has_value()) << c.what;
        EXPECT_EQ(checked.refused->line, c.line) << c.what;
        EXPECT_EQ(checked.refused->fault, problem->fault) << c.what;
        EXPECT_EQ(model.pages[0].char_size, 2) << c.what;
        EXPECT_TRUE(data_modified(model)) << c.what;
    }
}

TEST(CheckedDocument, AShortDocumentIsTakenAsFarAsItGoesAndSaysWhere) {
    const SettingsModel written = varied_model();
    std::vector<std::string> lines = lines_of(write_document(written));
    lines.resize(700);  // the titles and most of the per-page values

    SettingsModel model;
    model.schedule[0][0].page = 12;  // unsaved
    const DocumentReading reading = read_document_checked(model, joined(lines, "\n"));
    ASSERT_FALSE(reading.refused.has_value());
    EXPECT_EQ(reading.read_to_line, 700);
    EXPECT_EQ(model.pages[3].title, written.pages[3].title);
    EXPECT_EQ(model.pages[63].char_colour, written.pages[63].char_colour);
    EXPECT_EQ(model.schedule[0][0].page, 12);  // not reached
    EXPECT_FALSE(data_modified(model));

    // Whole, with LF-only line ends: nothing to say.
    SettingsModel whole;
    const std::vector<std::string> all = lines_of(write_document(written));
    const DocumentReading full = read_document_checked(whole, joined(all, "\n"));
    ASSERT_FALSE(full.refused.has_value());
    EXPECT_EQ(full.read_to_line, 0);
    EXPECT_EQ(write_document(whole), write_document(written));
}

TEST(CheckedDocument, AnyOtherTextFileIsRefusedAtItsFirstLineThatCannotBeADocument) {
    SettingsModel model;
    model.pages[0].char_size = 2;
    const std::string before = write_document(model);
    const struct {
        std::string text;
        int line;
        DocumentFault fault;
    } files[] = {
        {"# notes\r\nnothing here\r\n", 1, DocumentFault::kNotANumber},
        {"", 1, DocumentFault::kEnded},
        {"\r\n\r\n", 1, DocumentFault::kNotANumber},
        {"1\n9\n", 2, DocumentFault::kOutOfRange},
        {std::string("\x89PNG\r\n\x1a\n\0\0", 10), 1, DocumentFault::kNotANumber},
    };
    for (const auto& file : files) {
        const DocumentReading reading = read_document_checked(model, file.text);
        ASSERT_TRUE(reading.refused.has_value()) << file.line;
        EXPECT_EQ(reading.refused->line, file.line);
        EXPECT_EQ(reading.refused->fault, file.fault);
        EXPECT_EQ(write_document(model), before);
    }
}

TEST(StrictDocument, TheHoldTimeIsTextReadAsTheToolReadsIt) {
    std::vector<std::string> lines = lines_of(write_document(SettingsModel{}));
    lines[2943] = "12a";
    SettingsModel model;
    ASSERT_FALSE(read_document_strict(model, joined(lines)).has_value());
    EXPECT_EQ(model.alarm_hold_time, "12a");
    lines[2943] = "12345";
    ASSERT_FALSE(read_document_strict(model, joined(lines)).has_value());
    EXPECT_EQ(model.alarm_hold_time, "123");
}

}  // namespace
}  // namespace tvx
