#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "config/configuration.h"
#include "config/ini_profile.h"
#include "config/safe_file.h"
#include "editors/document_commands.h"
#include "glyphs/bitmap_export.h"
#include "glyphs/glyph_bank_file.h"
#include "model/settings_document.h"
#include "support/recording_notices.h"
#ifndef _WIN32
#include "support/ordinary_user.h"
#endif

namespace tvx {
namespace {

namespace fs = std::filesystem;
#ifndef _WIN32
using testing::as_ordinary_user;
#endif

struct NoDialogs : DocumentDialogs {
    std::optional<std::filesystem::path> ask_open_path() override { return std::nullopt; }
    std::optional<std::filesystem::path> ask_save_path() override { return std::nullopt; }
    bool confirm_overwrite(const std::filesystem::path&) override { return false; }
};

#ifndef _WIN32
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

mode_t mode_of(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}
#endif

std::vector<std::string> names_in(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

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
        tool.model.pages[0].blink = 1;  // an unsaved setting
        writers = {
            // Save also puts the document first in the recent files of the INI file, which has a
            // writer of its own below: here only the document is watched.
            {"document", tool.document_path,
             [this] {
                 const fs::path ini = std::exchange(tool.config.ini_path, {});
                 const bool saved = commands.document_save();
                 tool.config.ini_path = ini;
                 return saved;
             }},
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

    std::vector<std::string> files_in_folder() const { return names_in(root()); }
    fs::path root() const { return dir.path().toStdString(); }

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
#ifdef _WIN32
        // Windows lets no file take the place of one another program holds open: the write fails, and
        // the old file stays whole with nothing left beside it, until the reader lets go.
        EXPECT_FALSE(w.write());
        EXPECT_EQ(contents(w.path), "old " + w.name);
        reader.close();
        ASSERT_TRUE(w.write());
#else
        ASSERT_TRUE(w.write());
        const std::string seen{std::istreambuf_iterator<char>(reader), std::istreambuf_iterator<char>()};
        EXPECT_EQ(seen, "old " + w.name);
#endif
        EXPECT_GT(contents(w.path).size(), 100u);
    }
    EXPECT_EQ(files_in_folder(),
              (std::vector<std::string>{"bank.tls", "gl01.bmp", "tvx230.ini", "unit.dat"}));
}

#ifndef _WIN32
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
    EXPECT_TRUE(data_modified(tool.model));

    // With room again, every writer succeeds.
    for (const Writer& w : writers) EXPECT_TRUE(w.write()) << w.name;
    EXPECT_EQ(contents(tool.document_path), write_document(tool.model));
    EXPECT_FALSE(data_modified(tool.model));
}

// A file kept private stays private, a shared one stays shared; a new file gets the operator's usual mode.
TEST_F(FileReplacementTest, EveryWriterKeepsTheOldFilesPermissions) {
    put_old_files();
    for (const mode_t mode : {0600, 0640, 0664}) {
        for (const Writer& w : writers) {
            SCOPED_TRACE(w.name + " " + std::to_string(mode));
            ASSERT_EQ(::chmod(w.path.c_str(), mode), 0);
            ASSERT_TRUE(w.write());
            EXPECT_EQ(mode_of(w.path), mode);
        }
    }
    // A file of another user, written by one who may give it back (the tests run as root here): it stays
    // that user's.
    if (geteuid() == 0) {
        for (const Writer& w : writers) {
            SCOPED_TRACE(w.name);
            ASSERT_EQ(::chown(w.path.c_str(), 65534, 65534), 0);
            ASSERT_TRUE(w.write());
            struct stat st {};
            ASSERT_EQ(::stat(w.path.c_str(), &st), 0);
            EXPECT_EQ(st.st_uid, 65534u);
            EXPECT_EQ(st.st_gid, 65534u);
        }
    }
    const mode_t mask = ::umask(022);
    for (const Writer& w : writers) {
        SCOPED_TRACE(w.name);
        fs::remove(w.path);
        ASSERT_TRUE(w.write());
        EXPECT_EQ(mode_of(w.path), 0644);
    }
    ::umask(mask);
    EXPECT_EQ(files_in_folder(),
              (std::vector<std::string>{"bank.tls", "gl01.bmp", "tvx230.ini", "unit.dat"}));
}

// A file that is a symbolic link (to a link, relative, to a file elsewhere): the file at the end of the
// links gets the new content, and every link stays a link. A link to a file not yet there creates it.
TEST_F(FileReplacementTest, EveryWriterWritesThroughSymbolicLinks) {
    const fs::path elsewhere = root() / "elsewhere";
    fs::create_directory(elsewhere);
    for (const Writer& w : writers) {
        SCOPED_TRACE(w.name);
        const fs::path name = w.path.filename();
        std::ofstream(elsewhere / name, std::ios::binary) << "old " << w.name;
        ::chmod((elsewhere / name).c_str(), 0600);
        fs::create_symlink(fs::path("elsewhere") / name, root() / ("link-" + name.string()));
        fs::create_symlink("link-" + name.string(), w.path);
        ASSERT_TRUE(w.write());
        EXPECT_TRUE(fs::is_symlink(w.path));
        EXPECT_TRUE(fs::is_symlink(root() / ("link-" + name.string())));
        EXPECT_GT(contents(elsewhere / name).size(), 100u);
        EXPECT_EQ(mode_of(elsewhere / name), 0600);

        fs::remove(elsewhere / name);  // dangling now
        ASSERT_TRUE(w.write());
        EXPECT_TRUE(fs::is_symlink(w.path));
        EXPECT_GT(contents(elsewhere / name).size(), 100u);
    }
    EXPECT_EQ(names_in(elsewhere),
              (std::vector<std::string>{"bank.tls", "gl01.bmp", "tvx230.ini", "unit.dat"}));
    EXPECT_EQ(files_in_folder().size(), 9u);  // four links, four links to links, the folder
}

// What a writer must not replace: a loop of links, a pipe (a reader would block and a rename would put
// a file in its place), a folder. Nothing is written and the operator is told where the tool tells.
TEST_F(FileReplacementTest, OnlyRegularFilesAreReplaced) {
    fs::create_symlink("loop-b", root() / "loop-a");
    fs::create_symlink("loop-a", root() / "loop-b");
    EXPECT_FALSE(write_file_replacing(root() / "loop-a", "x"));
    ASSERT_EQ(::mkfifo((root() / "pipe").c_str(), 0644), 0);
    EXPECT_FALSE(write_file_replacing(root() / "pipe", "x"));
    EXPECT_TRUE(fs::is_fifo(root() / "pipe"));
    EXPECT_FALSE(write_file_replacing(root(), "x"));

    tool.document_path = (root() / "loop-a").string();
    EXPECT_FALSE(commands.document_save());
    EXPECT_EQ(notices.texts("warning"), std::vector<std::string>{"Can't file open"});
    EXPECT_EQ(files_in_folder(), (std::vector<std::string>{"loop-a", "loop-b", "pipe"}));
}

// A write that fails says why, in the system's own terms, so that the operator hears the real cause.
TEST_F(FileReplacementTest, AFailedWriteGivesItsCause) {
    put_old_files();
    const fs::path file = writers[0].path;
    std::error_code error;
    fail_writes_as_full_disk_for_testing("unit.dat");
    EXPECT_FALSE(write_file_replacing(file, std::string(4096, 'x'), error));
    fail_writes_as_full_disk_for_testing("");
    EXPECT_EQ(error, std::errc::no_space_on_device);
    EXPECT_EQ(error.message(), "No space left on device");
    EXPECT_EQ(contents(file), "old document");
    {
        const FullDisk full(64);
        EXPECT_FALSE(write_file_replacing(file, std::string(4096, 'x'), error));
    }
    EXPECT_EQ(error, std::errc::file_too_large);
    EXPECT_EQ(files_in_folder(),
              (std::vector<std::string>{"bank.tls", "gl01.bmp", "tvx230.ini", "unit.dat"}));

    fs::create_symlink("loop-b", root() / "loop-a");
    fs::create_symlink("loop-a", root() / "loop-b");
    ASSERT_EQ(::mkfifo((root() / "pipe").c_str(), 0644), 0);
    const std::pair<fs::path, std::error_code> refused[] = {
        {root(), std::make_error_code(std::errc::is_a_directory)},
        {root() / "pipe", make_error_code(FileError::kNotARegularFile)},
        {root() / "loop-a", std::make_error_code(std::errc::too_many_symbolic_link_levels)},
        {root() / "no" / "folder.dat", std::make_error_code(std::errc::no_such_file_or_directory)},
    };
    for (const auto& [path, cause] : refused) {
        EXPECT_FALSE(write_file_replacing(path, "x", error)) << path;
        EXPECT_EQ(error, cause) << path << ": " << error.message();
    }
    EXPECT_EQ(make_error_code(FileError::kNotARegularFile).message(), "not a regular file");

    ASSERT_EQ(::chmod(root().c_str(), 0555), 0);
    const int denied = as_ordinary_user([file] {
        std::error_code cause;
        return write_file_replacing(file, "x", cause) ? 0 : cause.value();
    });
    ::chmod(root().c_str(), 0700);
    EXPECT_EQ(denied, EACCES);

    EXPECT_TRUE(write_file_replacing(file, "new", error));
    EXPECT_FALSE(error);
}

// A folder is replaced as a file is: a new one made beside it, then renamed into its place, so the path
// names the whole old folder or the whole new one, and only the new one is left.
TEST_F(FileReplacementTest, AFolderIsReplacedWholeByANewOneBesideIt) {
    const fs::path site = root() / "site";
    fs::create_directory(site);
    std::ofstream(site / "a.txt") << "old";
    std::ofstream(site / "b.txt") << "old";
    ASSERT_EQ(::chmod(site.c_str(), 0750), 0);
    std::error_code error;
    const fs::path fresh = create_folder_beside(site, error);
    ASSERT_FALSE(fresh.empty()) << error.message();
    EXPECT_EQ(fresh.parent_path(), root());
    EXPECT_EQ(mode_of(fresh), 0750);
    std::ofstream(fresh / "a.txt") << "new";
    std::ifstream reader(site / "a.txt");  // a reader of the old folder keeps reading it
    ASSERT_TRUE(replace_folder(fresh, site, error)) << error.message();
    EXPECT_EQ(contents(site / "a.txt"), "new");
    EXPECT_FALSE(fs::exists(site / "b.txt"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(reader), {}), "old");
    EXPECT_EQ(files_in_folder(), std::vector<std::string>{"site"});

    // Through a link the folder at its end is replaced and the link stays; a folder not yet there is made.
    fs::create_directory_symlink("site", root() / "link");
    const fs::path through = create_folder_beside(root() / "link", error);
    std::ofstream(through / "a.txt") << "linked";
    ASSERT_TRUE(replace_folder(through, root() / "link/", error)) << error.message();
    EXPECT_TRUE(fs::is_symlink(root() / "link"));
    EXPECT_EQ(contents(site / "a.txt"), "linked");
    const fs::path first = create_folder_beside(root() / "new", error);
    ASSERT_TRUE(replace_folder(first, root() / "new", error)) << error.message();
    EXPECT_EQ(files_in_folder(), (std::vector<std::string>{"link", "new", "site"}));

    // A file in the way is not replaced by a folder; the new folder stays for its maker to remove.
    std::ofstream(root() / "file") << "kept";
    const fs::path refused = create_folder_beside(root() / "file", error);
    EXPECT_FALSE(replace_folder(refused, root() / "file", error));
    EXPECT_EQ(error, std::errc::not_a_directory);
    EXPECT_EQ(contents(root() / "file"), "kept");
    EXPECT_TRUE(fs::is_directory(refused));
}

// A folder the operator may not write to: the write fails, the old file stays, nothing is left.
TEST_F(FileReplacementTest, AReadOnlyFolderKeepsTheOldFile) {
    put_old_files();
    ASSERT_EQ(::chmod(root().c_str(), 0555), 0);
    const int result = as_ordinary_user([this] {
        int written = 0;
        for (const Writer& w : writers) written += w.write() ? 1 : 0;
        return written;
    });
    ::chmod(root().c_str(), 0700);
    EXPECT_EQ(result, 0);
    for (const Writer& w : writers) EXPECT_EQ(contents(w.path), "old " + w.name) << w.name;
    EXPECT_EQ(files_in_folder(),
              (std::vector<std::string>{"bank.tls", "gl01.bmp", "tvx230.ini", "unit.dat"}));
}

// An INI file the tool cannot read holds keys the tool does not know: no key is written over it, and
// each refused write is told.
TEST_F(FileReplacementTest, AnUnreadableIniIsNeverWrittenOver) {
    const std::string kept = "[TVX-230_Section]\r\nInterface=1\r\nlist_count=2\r\nip00_0=10\r\n";
    std::ofstream(tool.config.ini_path, std::ios::binary) << kept;
    ASSERT_EQ(::chmod(tool.config.ini_path.c_str(), 0), 0);
    ASSERT_EQ(::chmod(root().c_str(), 0777), 0);  // a folder anyone may write to: only the read stops it
    const int result = as_ordinary_user([this] {
        Configuration config;
        NetworkSettings network;
        load_configuration(config, network.port_number, tool.config.ini_path);
        int told = 0;
        config.on_write_failed = [&told] { ++told; };
        if (!config.unreadable || config.link_interface != 0) return 1;
        if (write_config_value(config, "com_port", "2") || write_host(config, 0) || told != 2) return 2;
        config.unreadable = false;  // unreadable now, whatever it was at start-up
        if (write_config_value(config, "com_port", "2") || told != 3) return 3;
        if (write_profile_string(config.ini_path, kIniSection, "com_port", "2")) return 4;
        remember_folder(config, FileKind::kDocument, "/tmp");
        return 0;
    });
    ::chmod(root().c_str(), 0700);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(mode_of(tool.config.ini_path), 0u);
    ::chmod(tool.config.ini_path.c_str(), 0600);
    EXPECT_EQ(contents(tool.config.ini_path), kept);
    EXPECT_EQ(files_in_folder(), std::vector<std::string>{"tvx230.ini"});

    // A pipe where the file should be is not read (that would wait for a writer), and not written over.
    fs::remove(tool.config.ini_path);
    ASSERT_EQ(::mkfifo(tool.config.ini_path.c_str(), 0644), 0);
    NetworkSettings network;
    load_configuration(tool.config, network.port_number, tool.config.ini_path);
    EXPECT_TRUE(tool.config.unreadable);
    EXPECT_FALSE(write_config_value(tool.config, "com_port", "2"));
    EXPECT_TRUE(fs::is_fifo(tool.config.ini_path));
}

#else
TEST_F(FileReplacementTest, FullDisksFileModesFifosAndOtherUsersArePosixCases) {
    GTEST_SKIP() << "a full disk (a file size limit), file modes, FIFOs and another user to write as are "
                    "POSIX cases; Windows has none of them in this form";
}
#endif

}  // namespace
}  // namespace tvx
