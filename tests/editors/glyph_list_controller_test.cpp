#include "editors/glyph_list_controller.h"

#include <deque>
#include <filesystem>

#include <gtest/gtest.h>

#include "config/safe_file.h"
#include "editor_unit_link.h"
#include "glyphs/glyph_store.h"
#include "glyphs/glyph_text.h"
#include "model/settings_document.h"
#include "protocol/command_builders.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

struct ScriptedListDialogs : GlyphListDialogs {
    bool confirm_clear() override {
        calls.push_back("clear");
        return clear_answer;
    }
    std::optional<std::filesystem::path> ask_open_path(std::string_view filter, std::string_view pattern) override {
        calls.push_back("open " + std::string(filter) + " " + std::string(pattern));
        return next();
    }
    std::optional<std::filesystem::path> ask_save_path(std::string_view filter, std::string_view pattern) override {
        calls.push_back("save " + std::string(filter) + " " + std::string(pattern));
        return next();
    }
    std::optional<std::filesystem::path> ask_bitmap_path(std::string_view title, std::string_view name) override {
        calls.push_back("bitmap " + std::string(title) + " " + std::string(name));
        return next();
    }
    bool confirm_overwrite(const std::filesystem::path& path) override {
        calls.push_back("overwrite " + path.string());
        return overwrite_answer;
    }
    std::optional<std::string> next() {
        if (paths.empty()) return std::nullopt;
        std::optional<std::string> path = paths.front();
        paths.pop_front();
        return path;
    }

    std::vector<std::string> calls;
    std::deque<std::optional<std::string>> paths;
    bool clear_answer = true;
    bool overwrite_answer = true;
};

class GlyphListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("tvx230_glyph_list_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        tool.config.select_number = -1;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    GlyphListController& list(const GlyphSize& size) {
        if (controller) controller->close();
        controller = std::make_unique<GlyphListController>(tool, notices, link, dialogs, memory, size);
        controller->open();
        return *controller;
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    std::uintmax_t file_size(const std::string& name) const { return std::filesystem::file_size(dir / name); }

    std::filesystem::path dir;
    ToolState tool;
    testing::RecordingNotices notices;
    testing::EditorUnitLink link{tool, notices};
    ScriptedListDialogs dialogs;
    GlyphEditorMemory memory;
    std::unique_ptr<GlyphListController> controller;
};

TEST_F(GlyphListTest, GroupsCellsAndTheSharedPage) {
    GlyphListController& small = list(kSmall);
    EXPECT_EQ(small.group_items().size(), 16u);
    EXPECT_EQ(small.group_items().front(), "No.  1～ 16");
    EXPECT_EQ(small.group_items().back(), "No.241～256");
    small.select_group(11);
    EXPECT_EQ(small.cell_label(15), "No.192");

    GlyphListController& large = list(kLarge);
    EXPECT_EQ(large.group(), 0);  // page 12 does not exist for large glyphs
    EXPECT_EQ(large.group_items(),
              (std::vector<std::string>{"No. 1～14", "No.15～28", "No.29～42", "No.43～56", "No.57～70"}));
    EXPECT_EQ(large.cell_label(0), "No.1");
    large.select_group(4);
    EXPECT_EQ(large.cell_label(13), "No.70");

    list(kSmall).select_group(6);
    GlyphListController& medium = list(kMedium);
    EXPECT_EQ(medium.group(), 6);
    EXPECT_EQ(medium.group_items()[1], "No. 17～ 32");
    EXPECT_EQ(medium.group_items().back(), "No.145～160");
    medium.select_group(9);
    EXPECT_EQ(medium.cell_label(15), "No.160");
    EXPECT_EQ(tool.glyphs.glyph_buffer, std::string(580, '0'));
    EXPECT_EQ(medium.window_title("1.2.3.4"), "外字一覧（中文字）");
    tool.config.select_number = 0;
    EXPECT_EQ(medium.window_title("1.2.3.4"), "外字一覧（中文字） 1.2.3.4");
}

TEST_F(GlyphListTest, DoubleClicksHitCellsByTheirClientPixels) {
    EXPECT_EQ(glyph_cell_at(12, 11, 7), 0);
    EXPECT_EQ(glyph_cell_at(106, 105, 7), 0);
    EXPECT_EQ(glyph_cell_at(11, 50, 7), -1);
    EXPECT_EQ(glyph_cell_at(107, 50, 7), -1);
    EXPECT_EQ(glyph_cell_at(50, 10, 7), -1);
    EXPECT_EQ(glyph_cell_at(50, 130, 7), -1);
    EXPECT_EQ(glyph_cell_at(50, 158, 7), 7);
    EXPECT_EQ(glyph_cell_at(12 + 114 * 7, 50, 8), 7);
    EXPECT_EQ(glyph_cell_at(12 + 114 * 7, 50, 7), -1);  // large pages have seven columns

    GlyphListController& large = list(kLarge);
    large.select_group(2);
    EXPECT_FALSE(large.left_double_click(120, 200));
    EXPECT_TRUE(large.left_double_click(130, 200));  // second cell of the second row
    EXPECT_EQ(tool.glyphs.current_slot, 36);
}

TEST_F(GlyphListTest, ClearAsksAfterAnEditAndNoChangesNothing) {
    GlyphListController& medium = list(kMedium);
    tool.glyphs.medium_bank[3] = std::string(260, 'F');
    memory.bank_file_path[1] = "m.tlm";
    memory.glyph_edited = 1;
    dialogs.clear_answer = false;
    EXPECT_FALSE(medium.clear_bank());
    EXPECT_EQ(tool.glyphs.medium_bank[3], std::string(260, 'F'));
    EXPECT_EQ(memory.bank_file_path[1], "m.tlm");

    tool.glyphs.glyph_reply_pending = 1;
    dialogs.clear_answer = true;
    EXPECT_FALSE(medium.clear_bank());
    EXPECT_EQ(dialogs.calls.size(), 1u);  // refused before the question

    tool.glyphs.glyph_reply_pending = 0;
    EXPECT_TRUE(medium.clear_bank());
    EXPECT_EQ(tool.glyphs.medium_bank[3], std::string(260, '0'));  // spare characters too
    EXPECT_EQ(memory.bank_file_path[1], "");
    EXPECT_EQ(memory.glyph_edited, 0);
}

TEST_F(GlyphListTest, BankFilesPerListWithTheExtensionRule) {
    EXPECT_EQ(with_extension("a", ".tll"), "a.tll");
    EXPECT_EQ(with_extension("a.tll.bak", ".tll"), "a.tll.bak");
    EXPECT_EQ(with_extension("a.TLL", ".tll"), "a.TLL");  // any case: not a.TLL.tll
    EXPECT_EQ(with_extension("bank1.TLS", ".tls"), "bank1.TLS");
    EXPECT_EQ(with_extension("gl01.Bmp", ".bmp"), "gl01.Bmp");
    EXPECT_EQ(with_extension("a.TLM", ".tll"), "a.TLM.tll");
    EXPECT_EQ(with_extension(".tll", ".tll"), ".tll.tll");  // only after the first character

    tool.model.pages[0].title = "A";  // an unsaved title
    GlyphListController& large = list(kLarge);
    tool.glyphs.large_bank[69] = std::string(580, 'A');
    dialogs.paths = {path("bank")};
    large.save_as();
    EXPECT_EQ(dialogs.calls.back(), "save データ(*.tll) *.tll");
    EXPECT_EQ(file_size("bank.tll"), 120960u);
    EXPECT_EQ(memory.bank_file_path[0], path("bank.tll"));

    EXPECT_FALSE(bank_modified(tool.glyphs, kLarge));

    // Opening a saved file over a saved bank asks nothing, whatever the titles; unsaved titles stay so.
    std::string text;
    ASSERT_TRUE(read_whole_file(dir / "bank.tll", text));
    text.replace(0, 1, "c");  // lower case reads as upper case
    ASSERT_TRUE(write_file_replacing(dir / "other.tll", text));
    dialogs.paths = {path("other.tll")};
    ASSERT_TRUE(large.open_file());
    EXPECT_TRUE(notices.texts("question").empty());
    EXPECT_EQ(tool.glyphs.large_bank[0][0], 'C');
    EXPECT_EQ(tool.glyphs.large_bank[69].substr(0, 576), std::string(576, 'A'));
    EXPECT_EQ(memory.bank_file_path[0], path("other.tll"));
    EXPECT_TRUE(data_modified(tool.model));

    // The medium list has a file of its own.
    GlyphListController& medium = list(kMedium);
    medium.save();
    EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{"Don't file open"});

    // Appending the extension asks before replacing a file of the longer name.
    ASSERT_TRUE(write_file_replacing(dir / "m.tlm", "keep"));
    dialogs.overwrite_answer = false;
    dialogs.paths = {path("m")};
    medium.save_as();
    EXPECT_EQ(dialogs.calls.back(), "overwrite " + path("m.tlm"));
    EXPECT_EQ(file_size("m.tlm"), 4u);
    EXPECT_EQ(memory.bank_file_path[1], "");

    // A file that cannot be written is reported and the list keeps its file.
    dialogs.paths = {path("missing/m.tlm")};
    medium.save_as();
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{"Can't file open"});
    EXPECT_EQ(memory.bank_file_path[1], "");
    dialogs.paths = {path("m2.tlm")};
    medium.save_as();
    EXPECT_EQ(file_size("m2.tlm"), 122880u);
    std::filesystem::remove(dir / "m2.tlm");
    std::filesystem::create_directory(dir / "m2.tlm");  // saving onto a folder fails
    medium.save();
    EXPECT_EQ(notices.texts("error").size(), 2u);

    // Opening a file that is not there: the bank stays.
    const auto before = tool.glyphs.medium_bank;
    dialogs.paths = {path("none.tlm")};
    EXPECT_FALSE(medium.open_file());
    EXPECT_EQ(notices.texts("warning").back(), "Can't file open");
    EXPECT_EQ(tool.glyphs.medium_bank, before);
    EXPECT_EQ(memory.bank_file_path[1], path("m2.tlm"));
}

TEST_F(GlyphListTest, BitmapExportOfACell) {
    GlyphListController& large = list(kLarge);
    large.select_group(1);  // numbers 15 to 28
    set_glyph_dot(tool.glyphs.large_bank[14], kLarge, 0, 0, true);
    dialogs.paths = {std::nullopt};
    large.right_double_click(20, 20, {240, 240, 240});
    EXPECT_EQ(dialogs.calls.back(), "bitmap 大文字外字登録番号15をbmpファイルで保存 gl15.bmp");
    EXPECT_TRUE(std::filesystem::is_empty(dir));  // cancelled: nothing written
    EXPECT_EQ(memory.bitmap_path, "");

    dialogs.paths = {path("cell")};
    large.right_double_click(20, 20, {240, 240, 240});
    EXPECT_EQ(file_size("cell.bmp"), 27702u);
    EXPECT_EQ(memory.bitmap_path, path("cell.bmp"));

    dialogs.paths = {path("missing/x.bmp")};
    large.right_double_click(20, 20, {240, 240, 240});
    EXPECT_EQ(notices.texts("error"), std::vector<std::string>{"Can't file open"});
    EXPECT_EQ(memory.bitmap_path, path("cell.bmp"));

    tool.glyphs.glyph_reply_pending = 1;
    const std::size_t asked = dialogs.calls.size();
    large.right_double_click(20, 20, {240, 240, 240});
    EXPECT_EQ(dialogs.calls.size(), asked);
    tool.glyphs.glyph_reply_pending = 0;

    GlyphListController& medium = list(kMedium);
    medium.select_group(7);
    dialogs.paths = {std::nullopt};
    medium.right_double_click(12 + 114 * 7, 200, {});
    EXPECT_EQ(dialogs.calls.back(), "bitmap 中文字外字登録番号128をbmpファイルで保存 gm128.bmp");
    GlyphListController& small = list(kSmall);
    small.select_group(15);
    dialogs.paths = {std::nullopt};
    small.right_double_click(12 + 114 * 7, 200, {});
    EXPECT_EQ(dialogs.calls.back(), "bitmap 小文字外字登録番号256をbmpファイルで保存 gs256.bmp");
}

TEST_F(GlyphListTest, ReadAllAgainstTheUnitWithProgressAndButtonsAtRest) {
    for (int s = 0; s < 70; ++s)
        link.unit.glyphs().large_bank[static_cast<std::size_t>(s)].replace(0, 1, 1, glyph_digit_char(s));
    GlyphListController& large = list(kLarge);
    tool.glyphs.current_slot = 36;
    ASSERT_TRUE(large.read_all());
    EXPECT_EQ(large.sequence_interval_ms(), 400);
    EXPECT_EQ(large.progress_maximum(), 72);
    EXPECT_EQ(large.percent_text(), " 00.0");

    EXPECT_TRUE(large.sequence_tick());
    EXPECT_EQ(large.progress_value(), 1);
    EXPECT_EQ(large.percent_text(), " 01.4");
    // While it runs: no second start, no buttons, no editor.
    EXPECT_FALSE(large.read_all());
    EXPECT_FALSE(large.left_double_click(20, 20));
    EXPECT_FALSE(large.clear_bank());
    dialogs.paths = {path("x.tll")};
    EXPECT_FALSE(large.open_file());
    large.save_as();
    EXPECT_TRUE(dialogs.calls.empty());

    int ticks = 1;
    for (bool more = true; more && ticks < 500; ++ticks) more = large.sequence_tick();
    EXPECT_EQ(ticks, 70);  // one per slot: each answer is in at once here, the last ends the read
    EXPECT_EQ(large.percent_text(), "   ");
    EXPECT_EQ(large.progress_value(), 0);
    EXPECT_EQ(tool.glyphs.current_slot, 0);
    EXPECT_EQ(tool.glyphs.bank_sequence_active, 0);
    for (int s = 0; s < 70; ++s)
        EXPECT_EQ(tool.glyphs.large_bank[static_cast<std::size_t>(s)][0], glyph_digit_char(s));
    EXPECT_TRUE(large.left_double_click(20, 20));
}

TEST_F(GlyphListTest, RegisterAllAsksFirstAndCloseEndsATransfer) {
    GlyphListController& small = list(kSmall);
    notices.answers = {false};
    EXPECT_FALSE(small.register_all());
    EXPECT_TRUE(link.lines.empty());
    ASSERT_TRUE(small.register_all());
    EXPECT_EQ(small.sequence_interval_ms(), 2000);
    small.sequence_tick();
    small.sequence_tick();
    EXPECT_EQ(link.lines.size(), 2u);
    EXPECT_EQ(link.lines[1].substr(0, 6), "GRS002");
    small.close();
    EXPECT_EQ(tool.glyphs.bank_sequence_active, 0);
    EXPECT_FALSE(small.sequence_running());
    EXPECT_FALSE(small.sequence_tick());

    link.connected = false;
    GlyphListController& medium = list(kMedium);
    EXPECT_FALSE(medium.read_all());
    EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{"Socket が接続されていません"});
    EXPECT_EQ(medium.sequence_interval_ms(), 0);
}

TEST_F(GlyphListTest, OpeningOverUnsavedGlyphsOfTheBankAsksFirst) {
    GlyphListController& small = list(kSmall);
    dialogs.paths = {path("s.tls")};
    small.save_as();
    tool.glyphs.glyph_buffer.replace(0, 1, "8");
    store_working_glyph(tool.glyphs, kSmall);  // as the editor stores a drawn dot
    ASSERT_TRUE(bank_modified(tool.glyphs, kSmall));

    notices.answers = {false};
    dialogs.paths = {path("s.tls")};
    EXPECT_FALSE(small.open_file());
    EXPECT_EQ(notices.texts("question"),
              std::vector<std::string>{"データを保存せずに別のファイルを開きますか？"});
    EXPECT_EQ(dialogs.paths.size(), 1u);  // no file dialog after No
    EXPECT_EQ(tool.glyphs.small_bank[0][0], '8');

    notices.answers = {true};
    EXPECT_TRUE(small.open_file());
    EXPECT_EQ(tool.glyphs.small_bank[0][0], '0');
    EXPECT_FALSE(bank_modified(tool.glyphs, kSmall));

    // Another bank's unsaved glyphs are not this list's business.
    set_bank_modified(tool.glyphs, kMedium, true);
    notices.clear();
    dialogs.paths = {path("s.tls")};
    EXPECT_TRUE(small.open_file());
    EXPECT_TRUE(notices.texts("question").empty());
}

TEST_F(GlyphListTest, AFileThatIsNotABankOfTheSizeIsRefusedNamingTheLine) {
    GlyphListController& large = list(kLarge);
    tool.glyphs.large_bank[5].assign(580, '7');
    memory.bank_file_path[0] = path("kept.tll");
    std::string medium_file;
    for (int i = 0; i < kMedium.slot_count * kMedium.digits; ++i) medium_file += "0\r\n";
    const struct {
        std::string name;
        std::string bytes;
        std::string notice;
    } cases[] = {
        {"notes.txt", "0\r\n0\r\nHello\r\n",
         "notes.txt は大文字の外字ファイルではありません。\n3 "
         "行目に外字データ（0～9、A～F）でない文字があります。"},
        {"medium.tlm", medium_file,
         "medium.tlm は大文字の外字ファイルではありません。\n40321 行目で外字データが 40320 "
         "行を超えています。"},
        {"short.tll", "F\r\nF\r\n",
         "short.tll は大文字の外字ファイルではありません。\n3 行目でファイルが終わっています。外字データは "
         "40320 "
         "行必要ですが 2 行しかありません。"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(write_file_replacing(dir / c.name, c.bytes));
        dialogs.paths = {path(c.name)};
        EXPECT_FALSE(large.open_file());
        EXPECT_EQ(notices.texts("warning").back(), c.notice);
        EXPECT_EQ(tool.glyphs.large_bank[5], std::string(580, '7'));
        EXPECT_EQ(tool.glyphs.large_bank[6], std::string(580, '0'));
        EXPECT_EQ(memory.bank_file_path[0], path("kept.tll"));
    }

    // Only regular files are read: a folder is never taken for a bank.
    std::filesystem::create_directory(dir / "folder.tll");
    dialogs.paths = {path("folder.tll")};
    EXPECT_FALSE(large.open_file());
    EXPECT_EQ(notices.texts("warning").back(),
              "folder.tll は大文字の外字ファイルではありません。\n通常のファイルではありません。");
    EXPECT_EQ(memory.bank_file_path[0], path("kept.tll"));
}

TEST_F(GlyphListTest, ReadingOverUnsavedGlyphsOfTheBankAsksFirst) {
    link.unit.glyphs().medium_bank[0].replace(0, 1, "7");
    GlyphListController& medium = list(kMedium);
    tool.glyphs.glyph_buffer.replace(0, 1, "8");
    store_working_glyph(tool.glyphs, kMedium);  // as the editor stores a drawn dot
    ASSERT_TRUE(bank_modified(tool.glyphs, kMedium));

    notices.answers = {false};
    EXPECT_FALSE(medium.read_all());
    EXPECT_EQ(notices.texts("question"),
              std::vector<std::string>{"データを保存せずにユニットから読み込みますか？"});
    EXPECT_FALSE(medium.sequence_running());
    EXPECT_TRUE(link.lines.empty());
    EXPECT_EQ(tool.glyphs.medium_bank[0][0], '8');

    notices.answers = {true};
    ASSERT_TRUE(medium.read_all());
    for (int ticks = 0; medium.sequence_tick() && ticks < 500; ++ticks) {
    }
    EXPECT_EQ(tool.glyphs.medium_bank[0][0], '7');

    // Another bank's unsaved glyphs are not this list's business.
    set_bank_modified(tool.glyphs, kMedium, false);
    set_bank_modified(tool.glyphs, kSmall, true);
    notices.clear();
    EXPECT_TRUE(medium.read_all());
    EXPECT_TRUE(notices.texts("question").empty());
    medium.close();
}

TEST_F(GlyphListTest, ClearAsksAboutUnsavedGlyphsReadFromTheUnitToo) {
    GlyphListController& large = list(kLarge);
    set_bank_modified(tool.glyphs, kLarge, true);  // a read-all, say: no mouse press
    dialogs.clear_answer = false;
    EXPECT_FALSE(large.clear_bank());
    EXPECT_EQ(dialogs.calls, std::vector<std::string>{"clear"});
    dialogs.clear_answer = true;
    EXPECT_TRUE(large.clear_bank());
    EXPECT_FALSE(bank_modified(tool.glyphs, kLarge));  // a blank bank has nothing to lose
    EXPECT_TRUE(large.clear_bank());
    EXPECT_EQ(dialogs.calls.size(), 2u);  // nothing unsaved: no question
}

TEST_F(GlyphListTest, DuringRegisterAllABitmapCanBeExportedButNoEditorOpens) {
    GlyphListController& large = list(kLarge);
    ASSERT_TRUE(large.register_all());
    large.sequence_tick();
    dialogs.paths = {path("during")};
    large.right_double_click(20, 20, {240, 240, 240});
    EXPECT_EQ(file_size("during.bmp"), 27702u);
    EXPECT_FALSE(large.left_double_click(20, 20));
    EXPECT_TRUE(large.sequence_running());
    // Registering does not save the bank: what was unsaved stays unsaved.
    set_bank_modified(tool.glyphs, kLarge, true);
    while (large.sequence_tick()) {
    }
    EXPECT_TRUE(bank_modified(tool.glyphs, kLarge));
}

}  // namespace
}  // namespace tvx
