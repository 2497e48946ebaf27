#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/resource.h>

#include "config/configuration.h"
#include "config/safe_file.h"
#include "editors/document_commands.h"
#include "glyphs/bitmap_export.h"
#include "glyphs/glyph_bank_file.h"
#include "model/settings_document.h"
#include "support/recording_notices.h"

namespace tvx {
namespace {

namespace fs = std::filesystem;

struct NoDialogs : DocumentDialogs {
    std::optional<std::string> ask_open_path() override { return std::nullopt; }
    std::optional<std::string> ask_save_path() override { return std::nullopt; }
    bool confirm_overwrite(const std::string&) override { return false; }
};

// A disk that fills up: while it lives, no file of this process may grow past limit bytes, and a write
// beyond that fails (EFBIG) instead of stopping the process.
class FullDisk {
  public:
    explicit FullDisk(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved_;
        lowered.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FullDisk() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previous_);
    }

  private:
    rlimit saved_{};
    void (*previous_)(int) = nullptr;
};

std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every file the tool writes: the settings document (through Save, which reports its failure), a bank
// file, a bitmap and the INI file. Each writes its file whole, a few hundred bytes at least.
class FileReplacementTest : public ::testing::Test {
  protected:
    struct Writer {
        std::string name;
        fs::path path;
        std::function<bool()> write;
    };

    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const fs::path root = dir.path().toStdString();
        tool.document_path = (root / "unit.dat").string();
        tool.config.ini_path = root / "tvx230.ini";
        tool.model.run.data_modified = 1;
        writers = {
            {"document", tool.document_path, [this] { return commands.document_save(); }},
            {"bank file", root / "bank.tls",
             [this] { return write_bank_file(tool.glyphs, kSmall, writers[1].path); }},
            {"bitmap", root / "gl01.bmp",
             [this] { return write_bitmap_file(writers[2].path, RgbImage(96, 96, kDarkFill)); }},
            {"INI", tool.config.ini_path,
             [this] { return write_config_value(tool.config, "p_port_number", std::string(300, '9')); }},
        };
    }

    void put_old_files() {
        for (const Writer& w : writers) std::ofstream(w.path, std::ios::binary) << "old " << w.name;
    }

    std::vector<std::string> files_in_folder() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.path().toStdString())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    QTemporaryDir dir;
    ToolState tool;
    testing::RecordingNotices notices;
    NoDialogs dialogs;
    DocumentCommands commands{tool, notices, dialogs};
    std::vector<Writer> writers;
};

// The new content goes into a file of its own, which then takes the old one's place: a reader that has
// the old file open keeps reading the old content, whole.
TEST_F(FileReplacementTest, EveryWriterPutsANewFileInPlaceOfTheOld) {
    put_old_files();
    for (const Writer& w : writers) {
        SCOPED_TRACE(w.name);
        std::ifstream reader(w.path, std::ios::binary);
        ASSERT_TRUE(w.write());
        const std::string seen{std::istreambuf_iterator<char>(reader), std::istreambuf_iterator<char>()};
        EXPECT_EQ(seen, "old " + w.name);
        EXPECT_GT(contents(w.path).size(), 100u);
    }
    EXPECT_EQ(files_in_folder(),
              (std::vector<std::string>{"bank.tls", "gl01.bmp", "tvx230.ini", "unit.dat"}));
}

// The disk fills up half way through the new content: the writer says so, the old file is still there
// whole, and nothing is left beside it. Save also tells the operator and keeps the unsaved mark.
TEST_F(FileReplacementTest, AWriteThatFailsHalfWayLeavesTheOldFileWhole) {
    put_old_files();
    {
        const FullDisk full(64);
        for (const Writer& w : writers) {
            SCOPED_TRACE(w.name);
            EXPECT_FALSE(w.write());
        }
    }
    for (const Writer& w : writers) EXPECT_EQ(contents(w.path), "old " + w.name) << w.name;
    EXPECT_EQ(files_in_folder(),
              (std::vector<std::string>{"bank.tls", "gl01.bmp", "tvx230.ini", "unit.dat"}));
    EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{"Can't file open"});
    EXPECT_EQ(tool.model.run.data_modified, 1);

    // With room again, every writer succeeds.
    for (const Writer& w : writers) EXPECT_TRUE(w.write()) << w.name;
    EXPECT_EQ(contents(tool.document_path), write_document(tool.model));
    EXPECT_EQ(tool.model.run.data_modified, 0);
}

}  // namespace
}  // namespace tvx
