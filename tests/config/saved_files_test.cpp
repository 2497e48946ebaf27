#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "config/configuration.h"
#include "config/file_extension.h"
#include "config/ini_profile.h"
#include "config/input_file.h"
#include "config/path_text.h"
#include "config/safe_file.h"
#include "glyphs/bitmap_export.h"
#include "glyphs/glyph_bank_file.h"
#include "model/settings_document.h"
#include "support/scratch_folder.h"

// Every file the core writes, as the operator names it: written new, written again over itself, refused
// over a read-only file, and read back byte for byte. These run on Windows too, where a path is UTF-16 and
// replacing a file is a different call: a Japanese name that went through a narrow string on the way
// would come out as another name (or none), and the listing of the folder would say so.

namespace tvx {
namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<fs::path> names_in(const fs::path& folder) {
    std::vector<fs::path> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

std::size_t line_ends(const std::string& bytes) {
    std::size_t crlf = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) crlf += bytes[i] == '\r' && bytes[i + 1] == '\n';
    return crlf;
}

// One kind of file: how the core writes it, what it must hold, and how the core reads it back.
struct SavedFile {
    std::string kind;
    fs::path name;
    std::function<bool(const fs::path&)> write;
    std::function<std::string()> expected;      // the exact bytes the write must give
    std::size_t lines;                          // CR LF line ends in them (0 for the bitmap)
    std::function<bool(const fs::path&)> read;  // reads the file back into a fresh model; true when equal
};

class SavedFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.valid());
        model.pages[3].title = "\x93\xfa\x96\x7b";  // 日本 in Shift JIS
        model.pages[5].blink = 1;
        for (const GlyphSize* size : kGlyphSizes) glyph_bank(glyphs, *size)[1].replace(0, 4, "8A1F");
        glyph_bank(glyphs, kSmall)[255].replace(0, 2, "C3");
        files = {
            {"settings document", fs::path(u8"設定.dat"),
             [this](const fs::path& p) { return write_file_replacing(p, write_document(model)); },
             [this] { return write_document(model); }, 2960,
             [this](const fs::path& p) {
                 std::string bytes;
                 SettingsModel back;
                 if (!read_input_file(p, bytes) || read_document_strict(back, bytes)) return false;
                 return write_document(back) == write_document(model);
             }},
            bank(kLarge, u8"外字 大.tll", 40320),
            bank(kMedium, u8"外字 中.tlm", 40960),
            bank(kSmall, u8"外字 小.tls", 36864),
            {"INI file", fs::path(u8"設定フォルダ") / "tvx230.ini",
             [](const fs::path& p) {
                 return write_profile_string(p, kIniSection, "Interface", "1") &&
                        write_profile_string(p, kIniSection, "p_port_number", "09004");
             },
             [] { return std::string("[TVX-230_Section]\r\nInterface=1\r\np_port_number=09004\r\n"); }, 3,
             [](const fs::path& p) {
                 return read_profile_string(p, kIniSection, "p_port_number", "", 16) == "09004";
             }},
            {"bitmap", fs::path(u8"外字一覧.bmp"),
             [this](const fs::path& p) { return write_bitmap_file(p, image); },
             [this] { return bitmap_file_bytes(image); }, 0,
             [this](const fs::path& p) { return contents(p) == bitmap_file_bytes(image); }},
        };
    }

    SavedFile bank(const GlyphSize& size, const char8_t* name, std::size_t lines) {
        return {std::string(size.name),
                fs::path(name),
                [this, &size](const fs::path& p) { return write_bank_file(glyphs, size, p); },
                [this, &size] { return bank_file_text(glyphs, size); },
                lines,
                [this, &size](const fs::path& p) {
                    GlyphModel back;
                    return read_bank_file(back, size, p) &&
                           glyph_bank(back, size) == glyph_bank(glyphs, size);
                }};
    }

    // Each file as a new one, then over an older file of its own: the bytes, the line ends, the name.
    testing::ScratchFolder folder;
    SettingsModel model;
    GlyphModel glyphs;
    RgbImage image{96, 48, kDarkFill};
    std::vector<SavedFile> files;
};

TEST_F(SavedFilesTest, EachFileIsWrittenUnderItsOwnNameReplacedAndReadBackByteForByte) {
    fs::create_directory(folder / u8"設定フォルダ");
    for (const SavedFile& f : files) {
        SCOPED_TRACE(f.kind);
        const fs::path path = folder / f.name;
        ASSERT_TRUE(f.write(path));
        // Compared whole, told by size: a file of a hundred thousand bytes is no message to read.
        const std::string bytes = contents(path);
        EXPECT_TRUE(bytes == f.expected())
            << bytes.size() << " bytes, " << f.expected().size() << " expected";
        EXPECT_EQ(line_ends(bytes), f.lines);
        EXPECT_TRUE(f.read(path));

        // Over an existing file: the whole new content, nothing of the old one after it.
        if (f.name.extension() != ".ini") {
            std::ofstream(path, std::ios::binary) << std::string(200000, 'x');
            ASSERT_TRUE(f.write(path));
            EXPECT_TRUE(contents(path) == f.expected()) << contents(path).size() << " bytes";
            EXPECT_TRUE(f.read(path));
        }
    }
    // The sizes the bank file format gives, CR LF included.
    EXPECT_EQ(fs::file_size(folder / u8"外字 大.tll"), 120960u);
    EXPECT_EQ(fs::file_size(folder / u8"外字 中.tlm"), 122880u);
    EXPECT_EQ(fs::file_size(folder / u8"外字 小.tls"), 110592u);

    // Exactly these names, spelt as given: nothing renamed, nothing left beside them.
    const std::vector<fs::path> expected{fs::path(u8"外字 中.tlm"), fs::path(u8"外字 大.tll"),
                                         fs::path(u8"外字 小.tls"), fs::path(u8"外字一覧.bmp"),
                                         fs::path(u8"設定.dat"),    fs::path(u8"設定フォルダ")};
    std::vector<fs::path> sorted = expected;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(names_in(folder.path()), sorted);
    EXPECT_EQ(names_in(folder / u8"設定フォルダ"), std::vector<fs::path>{"tvx230.ini"});
}

TEST_F(SavedFilesTest, AReadOnlyFileIsNeverWrittenOver) {
    fs::create_directory(folder / u8"設定フォルダ");
    for (const SavedFile& f : files) {
        SCOPED_TRACE(f.kind);
        const fs::path path = folder / f.name;
        std::ofstream(path, std::ios::binary) << "old " + f.kind;
        fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        EXPECT_FALSE(f.write(path));
        EXPECT_EQ(contents(path), "old " + f.kind);
        fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
    }
    // Nothing new beside them: five files and the INI file's folder, which holds the INI file alone.
    EXPECT_EQ(names_in(folder.path()).size(), 6u);
    EXPECT_EQ(names_in(folder / u8"設定フォルダ").size(), 1u);
}

// The bank reader takes LF-only files and stray white space, as a file edited elsewhere may have them.
TEST_F(SavedFilesTest, BankFilesWithOtherLineEndsReadTheSame) {
    const fs::path path = folder / u8"外字 小.tls";
    std::string lf = bank_file_text(glyphs, kSmall);
    std::erase(lf, '\r');
    ASSERT_TRUE(write_file_replacing(path, lf));
    GlyphModel back;
    ASSERT_TRUE(read_bank_file(back, kSmall, path));
    EXPECT_EQ(glyph_bank(back, kSmall), glyph_bank(glyphs, kSmall));
}

// The names the operator types reach the file system as typed, and come back as the same UTF-8 text for
// the notices; the extension rule works on the path's own characters.
TEST(PathText, JapaneseNamesKeepEveryCharacter) {
    const std::string utf8 = "外字 大";
    const fs::path name = path_from_utf8(utf8);
    EXPECT_EQ(name, fs::path(u8"外字 大"));
    EXPECT_EQ(path_to_utf8(name), utf8);
    EXPECT_EQ(path_with_extension(name, ".tll"), fs::path(u8"外字 大.tll"));
    EXPECT_EQ(path_with_extension(fs::path(u8"外字 大.TLL"), ".tll"), fs::path(u8"外字 大.TLL"));
    EXPECT_EQ(path_with_extension(fs::path(u8"設定.dat.bak"), ".dat"), fs::path(u8"設定.dat.bak"));
    EXPECT_EQ(path_to_utf8((path_from_utf8("フォルダ") / name).filename()), utf8);
}

}  // namespace
}  // namespace tvx
