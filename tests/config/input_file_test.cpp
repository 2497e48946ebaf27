#include "config/input_file.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "support/scratch_folder.h"
#ifndef _WIN32
#include "support/ordinary_user.h"
#endif

namespace tvx {
namespace {

namespace fs = std::filesystem;

class InputFileTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir.valid()); }
    fs::path path(const char* name) const { return dir / name; }
    fs::path write(const char* name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
    }

    testing::ScratchFolder dir;
    std::string bytes = "untouched";
};

TEST_F(InputFileTest, ReadsARegularFileWholeUpToTheLimit) {
    const std::string content("a\r\nb\0c", 6);
    ASSERT_TRUE(read_input_file(write("a.dat", content), bytes, 6));
    EXPECT_EQ(bytes, content);
    ASSERT_TRUE(read_input_file(write("empty.dat", ""), bytes));
    EXPECT_EQ(bytes, "");
}

TEST_F(InputFileTest, RefusesWhatIsNotARegularFileWithoutBlocking) {
    EXPECT_EQ(read_input_file(dir.path(), bytes).status, InputFileStatus::kNotAFile);
    EXPECT_EQ(bytes, "untouched");
#ifdef _WIN32
    GTEST_SKIP() << "FIFOs and /dev/zero are POSIX files; Windows has neither";
#else
    // A FIFO with no writer would block an ordinary open; a character device never ends.
    ASSERT_EQ(mkfifo(path("fifo").c_str(), 0600), 0);
    EXPECT_EQ(read_input_file(path("fifo"), bytes).status, InputFileStatus::kNotAFile);
    EXPECT_EQ(read_input_file("/dev/zero", bytes).status, InputFileStatus::kNotAFile);
    EXPECT_EQ(bytes, "untouched");
#endif
}

TEST_F(InputFileTest, RefusesAFileLargerThanTheLimit) {
    EXPECT_EQ(read_input_file(write("big.dat", std::string(7, 'x')), bytes, 6).status,
              InputFileStatus::kTooLarge);
    EXPECT_EQ(bytes, "untouched");

    // A sparse file of several gigabytes is refused by its size, without reading it.
    const fs::path huge = path("huge.dat");
    std::ofstream(huge).close();
    fs::resize_file(huge, std::uintmax_t{3} << 30);
    EXPECT_EQ(read_input_file(huge, bytes).status, InputFileStatus::kTooLarge);
}

// A file that could not be opened says why: not there, or not this user's to read.
TEST_F(InputFileTest, TellsAMissingFileFromOneItMayNotRead) {
    write("plain.dat", "x");
    EXPECT_EQ(read_input_file(path("missing.dat"), bytes).status, InputFileStatus::kNotFound);
    EXPECT_EQ(read_input_file(path("plain.dat") / "under.dat", bytes).status, InputFileStatus::kNotFound);
    EXPECT_FALSE(read_input_file(path("missing.dat"), bytes));
    EXPECT_TRUE(cannot_open(InputFileStatus::kPermissionDenied));
    EXPECT_FALSE(cannot_open(InputFileStatus::kNotAFile));
#ifdef _WIN32
    GTEST_SKIP() << "file modes and an ordinary user to read as are POSIX; Windows has ACLs instead";
#else

    const fs::path locked = write("locked.dat", "secret");
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    fs::create_directory(path("closed"));
    const fs::path hidden = write("closed/inside.dat", "secret");
    ASSERT_EQ(::chmod(path("closed").c_str(), 0), 0);
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    for (const fs::path& file : {locked, hidden}) {
        const int status = testing::as_ordinary_user([&file] {
            std::string read;
            return static_cast<int>(read_input_file(file, read).status);
        });
        EXPECT_EQ(status, static_cast<int>(InputFileStatus::kPermissionDenied)) << file;
    }
    ::chmod(path("closed").c_str(), 0700);
    EXPECT_EQ(bytes, "untouched");
#endif
}

}  // namespace
}  // namespace tvx
