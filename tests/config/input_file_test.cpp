#include "config/input_file.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "support/scratch_folder.h"

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

TEST_F(InputFileTest, RefusesAFileLargerThanTheLimitAndAMissingOne) {
    EXPECT_EQ(read_input_file(write("big.dat", std::string(7, 'x')), bytes, 6).status,
              InputFileStatus::kTooLarge);
    EXPECT_EQ(read_input_file(path("missing.dat"), bytes).status, InputFileStatus::kCannotOpen);
    EXPECT_FALSE(read_input_file(path("missing.dat"), bytes));
    EXPECT_EQ(bytes, "untouched");

    // A sparse file of several gigabytes is refused by its size, without reading it.
    const fs::path huge = path("huge.dat");
    std::ofstream(huge).close();
    fs::resize_file(huge, std::uintmax_t{3} << 30);
    EXPECT_EQ(read_input_file(huge, bytes).status, InputFileStatus::kTooLarge);
}

}  // namespace
}  // namespace tvx
