#include "editors/document_commands.h"

#include <QTemporaryDir>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "config/safe_file.h"
#include "model/settings_document.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

namespace fs = std::filesystem;

struct ScriptedDialogs : DocumentDialogs {
    std::deque<std::optional<std::string>> open_paths;
    std::deque<std::optional<std::string>> save_paths;
    std::deque<bool> overwrite_answers;
    std::vector<std::string> overwrite_questions;

    std::optional<std::filesystem::path> ask_open_path() override { return pop(open_paths); }
    std::optional<std::filesystem::path> ask_save_path() override { return pop(save_paths); }
    bool confirm_overwrite(const std::filesystem::path& path) override {
        overwrite_questions.push_back(path.string());
        if (overwrite_answers.empty()) return true;
        const bool a = overwrite_answers.front();
        overwrite_answers.pop_front();
        return a;
    }

  private:
    static std::optional<std::string> pop(std::deque<std::optional<std::string>>& q) {
        if (q.empty()) return std::nullopt;
        auto v = q.front();
        q.pop_front();
        return v;
    }
};

std::string read_file(const fs::path& p) {
    std::string bytes;
    EXPECT_TRUE(read_whole_file(p, bytes));
    return bytes;
}

class DocumentCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    std::string path(const char* name) const { return (fs::path(dir.path().toStdString()) / name).string(); }

    QTemporaryDir dir;
    ToolState tool;
    testing::RecordingNotices notices;
    ScriptedDialogs dialogs;
    DocumentCommands commands{tool, notices, dialogs};
};

TEST_F(DocumentCommandsTest, DatExtensionRule) {
    EXPECT_EQ(DocumentCommands::with_dat_extension("a"), "a.dat");
    EXPECT_EQ(DocumentCommands::with_dat_extension("a.dat"), "a.dat");
    EXPECT_EQ(DocumentCommands::with_dat_extension("a.DAT"), "a.DAT");
    EXPECT_EQ(DocumentCommands::with_dat_extension("a.Dat.bak"), "a.Dat.bak");
}

TEST_F(DocumentCommandsTest, SaveAsRightAfterStartWritesTheDefaultDocumentAndBecomesTheTarget) {
    dialogs.save_paths.push_back(path("unit"));
    ASSERT_TRUE(commands.document_save_as());
    EXPECT_EQ(tool.document_path, path("unit.dat"));
    EXPECT_EQ(read_file(path("unit.dat")), write_document(SettingsModel{}));
    EXPECT_FALSE(data_modified(tool.model));
    EXPECT_TRUE(notices.calls.empty());

    // New keeps the target: Save writes the reset model to the same file.
    tool.model.pages[0].char_size = 0;
    commands.document_new();
    ASSERT_TRUE(commands.document_save());
    EXPECT_EQ(read_file(path("unit.dat")), write_document(SettingsModel{}));
}

TEST_F(DocumentCommandsTest, SaveWithoutDocumentWarns) {
    EXPECT_FALSE(commands.document_save());
    EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{"Don't file open"});
}

TEST_F(DocumentCommandsTest, SaveAsAsksBeforeReplacingTheNameWithTheExtensionAppended) {
    std::ofstream(path("kept.dat")) << "old";
    dialogs.save_paths.push_back(path("kept"));
    dialogs.overwrite_answers.push_back(false);
    EXPECT_FALSE(commands.document_save_as());
    EXPECT_EQ(dialogs.overwrite_questions, std::vector<std::string>{path("kept.dat")});
    EXPECT_EQ(read_file(path("kept.dat")), "old");
    EXPECT_TRUE(tool.document_path.empty());

    // A name that already carries the extension was asked about by the dialog itself.
    dialogs.save_paths.push_back(path("kept.dat"));
    EXPECT_TRUE(commands.document_save_as());
    EXPECT_EQ(dialogs.overwrite_questions.size(), 1u);
    EXPECT_EQ(read_file(path("kept.dat")), write_document(tool.model));
}

TEST_F(DocumentCommandsTest, FailedWriteKeepsTheOldFileThePathAndTheModifiedFlag) {
    dialogs.save_paths.push_back(path("doc"));
    ASSERT_TRUE(commands.document_save_as());
    const std::string before = read_file(path("doc.dat"));

    // A target that cannot be written: a folder stands where the file should go.
    fs::create_directory(path("folder.dat"));
    tool.model.pages[3].char_colour = kRed;
    dialogs.save_paths.push_back(path("folder.dat"));
    EXPECT_FALSE(commands.document_save_as());
    EXPECT_EQ(tool.document_path, path("doc.dat"));
    EXPECT_TRUE(data_modified(tool.model));
    EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{"Can't file open"});

    // A document whose folder has gone: Save fails and nothing is left half-written.
    tool.document_path = path("gone/doc.dat");
    EXPECT_FALSE(commands.document_save());
    EXPECT_TRUE(data_modified(tool.model));
    EXPECT_EQ(read_file(path("doc.dat")), before);
    for (const auto& entry : fs::directory_iterator(dir.path().toStdString())) {
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
    }
}

TEST_F(DocumentCommandsTest, OpenReadsTheFileAndCancelOrFailureChangesNothing) {
    SettingsModel saved;
    saved.pages[7].blink = 1;
    saved.alarm_hold_time = "030";
    std::ofstream(path("in.dat"), std::ios::binary) << write_document(saved);

    dialogs.open_paths.push_back(std::nullopt);
    commands.document_open();
    EXPECT_EQ(tool.model.pages[7].blink, 0);

    dialogs.open_paths.push_back(path("missing.dat"));
    commands.document_open();
    EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{"Can't file open"});
    EXPECT_TRUE(tool.document_path.empty());

    dialogs.open_paths.push_back(path("in.dat"));
    commands.document_open();
    EXPECT_EQ(tool.model.pages[7].blink, 1);
    EXPECT_EQ(tool.model.alarm_hold_time, "030");
    EXPECT_EQ(tool.document_path, path("in.dat"));
}

// Open of what is not a settings document: refused with a notice that names the file (and the line),
// without waiting on a FIFO or reading a huge file, and the model, the modified flag and the document
// path stay as they were.
TEST_F(DocumentCommandsTest, OpenRefusesWhatCannotBeASettingsDocumentAndChangesNothing) {
    SettingsModel saved;
    saved.pages[2].char_size = 0;
    std::ofstream(path("notes.txt"), std::ios::binary) << "0\r\n0\r\n0\r\n" << std::string(64, 's') << "\r\n";
    std::ofstream(path("colours.dat"), std::ios::binary) << "0\r\n12\r\n";
    std::ofstream(path("README"), std::ios::binary) << "TVX-230 settings\r\n";
#ifndef _WIN32
    ASSERT_EQ(mkfifo(path("fifo").c_str(), 0600), 0);
#endif
    std::ofstream(path("huge.dat")).close();
    fs::resize_file(path("huge.dat"), std::uintmax_t{4} << 30);

    tool.model.pages[0].title = "\x82\xa0";
    tool.document_path = path("before.dat");
    const std::string before = write_document(tool.model);
    const std::pair<const char*, std::string> cases[] = {
        {"README", "README は設定ファイルではありません。\n1行目: 数値ではありません"},
        {"colours.dat", "colours.dat は設定ファイルではありません。\n2行目: 設定できる範囲を超えています"},
#ifndef _WIN32
        {"fifo", "fifo は通常のファイルではないため、設定ファイルとして読み込めません。"},
#endif
        {"huge.dat", "huge.dat は大きすぎるため、設定ファイルとして読み込めません。"},
    };
    for (const auto& [name, notice] : cases) {
        notices.clear();
        notices.answers.push_back(true);  // open without saving the titles
        dialogs.open_paths.push_back(path(name));
        commands.document_open();
        EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{notice}) << name;
        EXPECT_EQ(write_document(tool.model), before) << name;
        EXPECT_TRUE(data_modified(tool.model)) << name;
        EXPECT_EQ(tool.document_path, path("before.dat")) << name;
    }
}

// The lenient cases of Open stay: a document with LF line ends that stops early opens as far as it goes,
// and a notice says where it ended.
TEST_F(DocumentCommandsTest, OpenTakesAShortLfDocumentAsFarAsItGoesAndSaysSo) {
    SettingsModel saved;
    saved.date_display = 1;
    for (PageSettings& page : saved.pages) page.char_size = 2;
    std::string text = write_document(saved);
    text.resize(text.find("\r\n1\r\n1\r\n1\r\n"));  // cut after the character sizes
    std::string lf_only;
    for (char c : text) {
        if (c != '\r') lf_only += c;
    }
    std::ofstream(path("short.dat"), std::ios::binary) << lf_only;

    tool.model.pages[0].display_position = 0;
    dialogs.open_paths.push_back(path("short.dat"));
    commands.document_open();
    EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{});
    EXPECT_EQ(notices.texts("box"),
              std::vector<std::string>{
                  "short.dat は 131 行目で終わっています。\nそれより後の設定は変わっていません。"});
    EXPECT_EQ(tool.model.date_display, 1);
    EXPECT_EQ(tool.model.pages[63].char_size, 2);
    EXPECT_EQ(tool.model.pages[0].display_position, 0);  // not reached
    EXPECT_EQ(tool.document_path, path("short.dat"));
}

// What was opened or saved comes first in the recent files; choosing one asks about unsaved settings as
// Open does, and one that is gone is taken off the list with a notice, before any question.
TEST_F(DocumentCommandsTest, RecentFilesFollowOpenAndSaveAndAGoneFileLeavesTheList) {
    SettingsModel saved;
    saved.date_display = 1;
    std::ofstream(path("a.dat"), std::ios::binary) << write_document(saved);
    dialogs.open_paths.push_back(path("a.dat"));
    commands.document_open();
    dialogs.save_paths.push_back(path("b"));
    ASSERT_TRUE(commands.document_save_as());
    EXPECT_EQ(tool.config.recent_files, (RecentFiles{path("b.dat"), path("a.dat")}));

    tool.model.pages[2].title = "X";
    notices.answers = {false};
    commands.document_open_recent(path("a.dat"));
    EXPECT_EQ(notices.texts("question"),
              std::vector<std::string>{"データを保存せずに別のファイルを開きますか？"});
    EXPECT_EQ(tool.document_path, path("b.dat"));
    EXPECT_EQ(tool.model.pages[2].title, "X");

    notices.clear();
    notices.answers = {true};
    commands.document_open_recent(path("a.dat"));
    EXPECT_EQ(tool.document_path, path("a.dat"));
    EXPECT_EQ(tool.model.pages[2].title, "");
    EXPECT_EQ(tool.config.recent_files, (RecentFiles{path("a.dat"), path("b.dat")}));

    notices.clear();
    tool.model.pages[2].title = "Y";
    fs::remove(path("b.dat"));
    commands.document_open_recent(path("b.dat"));
    EXPECT_TRUE(notices.texts("question").empty());
    EXPECT_EQ(notices.texts("warning"),
              std::vector<std::string>{path("b.dat") +
                                       " が見つかりません。\n最近使ったファイルの一覧から外しました。"});
    EXPECT_EQ(tool.config.recent_files, RecentFiles{path("a.dat")});
    EXPECT_EQ(tool.model.pages[2].title, "Y");
    EXPECT_EQ(tool.document_path, path("a.dat"));
}

TEST_F(DocumentCommandsTest, UnsavedTitlesAreAskedAboutAndNoAbandons) {
    tool.model.pages[0].title = "\x82\xa0";
    notices.answers = {false, false};
    commands.document_new();
    dialogs.open_paths.push_back(path("never-asked.dat"));
    commands.document_open();
    EXPECT_EQ(notices.texts("question"),
              (std::vector<std::string>{"データを保存せずに新規作成しますか？",
                                        "データを保存せずに別のファイルを開きますか？"}));
    EXPECT_EQ(tool.model.pages[0].title, "\x82\xa0");
    EXPECT_EQ(dialogs.open_paths.size(), 1u);

    notices.answers = {true};
    commands.document_new();
    EXPECT_TRUE(tool.model.pages[0].title.empty());
    EXPECT_FALSE(data_modified(tool.model));
}

// Whatever changes what a save would write is unsaved work, whichever editor or reply changed it; what a
// save does not write (the selections, the editors' memory, the unit's addresses and port) is not. New
// and Open ask about it, and a save or an Open makes the document saved again.
TEST_F(DocumentCommandsTest, EveryChangeASaveWouldWriteIsAskedAboutBeforeNewAndOpen) {
    using Change = std::function<void(SettingsModel&)>;
    std::vector<std::pair<std::string, Change>> saved = {
        {"title", [](SettingsModel& m) { m.pages[9].title = "A"; }},
        {"all pages blank", [](SettingsModel& m) { for (PageSettings& p : m.pages) p.char_colour = kBlank; }},
        {"schedule", [](SettingsModel& m) { m.schedule[30][23].page = 3; }},
        {"date display", [](SettingsModel& m) { m.date_display_size = 1; }},
        {"hold time", [](SettingsModel& m) { m.alarm_hold_time = "020"; }},
        {"connector", [](SettingsModel& m) { m.connector_pages[7] = 0; }},
        {"power-on page", [](SettingsModel& m) { m.power_on_page = 5; }},
        {"time register", [](SettingsModel& m) { m.network.time_register = 0; }},
    };
    for (const PageFieldRule& rule : kPageFields) {
        saved.emplace_back("page field", [rule](SettingsModel& m) {
            m.pages[63].*rule.member = rule.default_value == rule.max ? rule.min : rule.max;
        });
    }
    for (const auto& [what, change] : saved) {
        reset_settings(tool);
        change(tool.model);
        EXPECT_TRUE(data_modified(tool.model)) << what;
        notices.clear();
        notices.answers = {false, false};
        const std::string changed = write_document(tool.model);
        commands.document_new();
        dialogs.open_paths.push_back(path("never-asked.dat"));
        commands.document_open();
        EXPECT_EQ(notices.texts("question").size(), 2u) << what;
        EXPECT_EQ(write_document(tool.model), changed) << what;
        dialogs.open_paths.clear();
    }
    const std::pair<const char*, Change> not_saved[] = {
        {"page chosen", [](SettingsModel& m) { m.run.current_page = 9; }},
        {"slave address", [](SettingsModel& m) { m.run.slave_address = 3; }},
        {"all-pages memory", [](SettingsModel& m) { m.memory.all_char_colour = kBlank; }},
        {"unit address", [](SettingsModel& m) { m.network.active_address = {10, 0, 0, 1}; }},
        {"port", [](SettingsModel& m) { m.network.port_number = "09005"; }},
        {"mac", [](SettingsModel& m) { m.network.mac_address = "00-11-22-33-44-55"; }},
    };
    for (const auto& [what, change] : not_saved) {
        reset_settings(tool);
        change(tool.model);
        EXPECT_FALSE(data_modified(tool.model)) << what;
    }

    // Changed back is no change; saved, and opened, is saved.
    reset_settings(tool);
    tool.model.pages[4].blink = 1;
    tool.model.pages[4].blink = 0;
    EXPECT_FALSE(data_modified(tool.model));
    tool.model.pages[4].blink = 1;
    dialogs.save_paths.push_back(path("blink"));
    ASSERT_TRUE(commands.document_save_as());
    EXPECT_FALSE(data_modified(tool.model));
    tool.model.pages[4].blink = 0;
    EXPECT_TRUE(data_modified(tool.model));
    notices.clear();
    notices.answers = {true};
    dialogs.open_paths.push_back(path("blink.dat"));
    commands.document_open();
    EXPECT_EQ(tool.model.pages[4].blink, 1);
    EXPECT_FALSE(data_modified(tool.model));
}

TEST_F(DocumentCommandsTest, NewAndOpenDoNothingWhileASequenceRuns) {
    tool.model.pages[0].char_size = 0;
    tool.model.run.batch_step = 5;
    commands.document_new();
    dialogs.open_paths.push_back(path("x.dat"));
    commands.document_open();
    EXPECT_EQ(tool.model.pages[0].char_size, 0);
    EXPECT_EQ(dialogs.open_paths.size(), 1u);
    tool.model.run.batch_step = 0;
    tool.glyphs.bank_sequence_active = 1;
    commands.document_new();
    EXPECT_EQ(tool.model.pages[0].char_size, 0);
    EXPECT_TRUE(notices.calls.empty());
}

TEST_F(DocumentCommandsTest, ExitSaveGoesToTheDocumentOrThroughSaveAs) {
    dialogs.save_paths.push_back(std::nullopt);
    EXPECT_FALSE(commands.save_for_exit());
    dialogs.save_paths.push_back(path("exit"));
    EXPECT_TRUE(commands.save_for_exit());
    EXPECT_EQ(tool.document_path, path("exit.dat"));
    tool.model.pages[1].edge_colour = kBlue;
    EXPECT_TRUE(commands.save_for_exit());
    EXPECT_EQ(read_file(path("exit.dat")), write_document(tool.model));
}

}  // namespace
}  // namespace tvx
