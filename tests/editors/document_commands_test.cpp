#include "editors/document_commands.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <deque>
#include <filesystem>
#include <fstream>

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

    std::optional<std::string> ask_open_path() override { return pop(open_paths); }
    std::optional<std::string> ask_save_path() override { return pop(save_paths); }
    bool confirm_overwrite(const std::string& path) override {
        overwrite_questions.push_back(path);
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
    EXPECT_EQ(DocumentCommands::with_dat_extension("a.DAT"), "a.DAT.dat");
}

TEST_F(DocumentCommandsTest, SaveAsRightAfterStartWritesTheDefaultDocumentAndBecomesTheTarget) {
    dialogs.save_paths.push_back(path("unit"));
    tool.model.run.data_modified = 1;
    ASSERT_TRUE(commands.document_save_as());
    EXPECT_EQ(tool.document_path, path("unit.dat"));
    EXPECT_EQ(read_file(path("unit.dat")), write_document(SettingsModel{}));
    EXPECT_EQ(tool.model.run.data_modified, 0);
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
    tool.model.run.data_modified = 1;
    tool.model.pages[3].char_colour = kRed;
    dialogs.save_paths.push_back(path("folder.dat"));
    EXPECT_FALSE(commands.document_save_as());
    EXPECT_EQ(tool.document_path, path("doc.dat"));
    EXPECT_EQ(tool.model.run.data_modified, 1);
    EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{"Can't file open"});

    // A document whose folder has gone: Save fails and nothing is left half-written.
    tool.document_path = path("gone/doc.dat");
    EXPECT_FALSE(commands.document_save());
    EXPECT_EQ(tool.model.run.data_modified, 1);
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

TEST_F(DocumentCommandsTest, UnsavedTitlesAreAskedAboutAndNoAbandons) {
    tool.model.run.data_modified = 1;
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
    EXPECT_EQ(tool.model.run.data_modified, 0);
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
