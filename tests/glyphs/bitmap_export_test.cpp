#include "glyphs/bitmap_export.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "config/safe_file.h"
#include "glyphs/glyph_text.h"

namespace tvx {
namespace {

std::uint32_t le(const std::string& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

TEST(BitmapExport, HeaderOfALargeCell) {
    const RgbImage image(96, 96, {240, 240, 240});
    const std::string bytes = bitmap_file_bytes(image);
    EXPECT_EQ(bitmap_stride(96), 288);
    EXPECT_EQ(bitmap_stride(95), 288);
    EXPECT_EQ(bitmap_stride(64), 192);
    EXPECT_EQ(bitmap_stride(1), 4);
    ASSERT_EQ(bytes.size(), 27702u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    const std::pair<std::size_t, std::uint32_t> fields4[] = {{2, 27702}, {10, 54}, {14, 40}, {18, 96},
                                                             {22, 96},   {30, 0},  {34, 0},  {38, 0},
                                                             {42, 0},    {46, 0},  {50, 0}};
    for (const auto& [at, value] : fields4) EXPECT_EQ(le(bytes, at, 4), value) << "offset " << at;
    EXPECT_EQ(le(bytes, 6, 2), 0u);
    EXPECT_EQ(le(bytes, 8, 2), 0u);
    EXPECT_EQ(le(bytes, 26, 2), 1u);
    EXPECT_EQ(le(bytes, 28, 2), 24u);
}

TEST(BitmapExport, RowsBottomUpInBlueGreenRedWithZeroPadding) {
    RgbImage image(5, 2, {0, 0, 0});
    image.set_pixel(0, 0, {1, 2, 3});  // top left
    image.set_pixel(4, 1, {7, 8, 9});  // bottom right
    image.set_pixel(5, 1, {9, 9, 9});  // outside: ignored
    const std::string bytes = bitmap_file_bytes(image);
    ASSERT_EQ(bytes.size(), 54u + 16u * 2u);
    // The bottom row comes first.
    EXPECT_EQ(bytes.substr(54 + 12, 3), std::string("\x09\x08\x07", 3));
    EXPECT_EQ(bytes.substr(54 + 15, 1), std::string(1, '\0'));
    EXPECT_EQ(bytes.substr(54 + 16, 3), std::string("\x03\x02\x01", 3));
    EXPECT_EQ(bytes.substr(54 + 31, 1), std::string(1, '\0'));
}

TEST(BitmapExport, ThumbnailsAndGridCellsAreDrawnDotByDot) {
    std::string text(kMedium.digits, '0');
    set_glyph_dot(text, kMedium, 0, 0, true);
    set_glyph_dot(text, kMedium, 31, 31, true);
    const RgbColour grey{212, 208, 200};
    const RgbImage cell = glyph_cell_image(text, kMedium, 96, 96, grey);
    EXPECT_EQ(cell.pixel(0, 0), kLitDot);
    EXPECT_EQ(cell.pixel(1, 1), kLitDot);
    EXPECT_EQ(cell.pixel(2, 0), kDarkOutline);  // a dark thumbnail dot is all outline
    EXPECT_EQ(cell.pixel(3, 3), kDarkOutline);
    EXPECT_EQ(cell.pixel(63, 63), kLitDot);
    EXPECT_EQ(cell.pixel(64, 10), grey);  // the rest of the cell is not painted
    EXPECT_EQ(cell.pixel(10, 95), grey);

    RgbImage grid(480, 384, grey);
    draw_glyph_dots(grid, text, kMedium, 15, 12);
    EXPECT_EQ(grid.pixel(0, 0), kLitDot);
    EXPECT_EQ(grid.pixel(14, 11), kLitDot);
    EXPECT_EQ(grid.pixel(15, 0), kDarkOutline);
    EXPECT_EQ(grid.pixel(29, 5), kDarkOutline);
    EXPECT_EQ(grid.pixel(16, 1), kDarkFill);
    EXPECT_EQ(grid.pixel(28, 10), kDarkFill);
    EXPECT_EQ(grid.pixel(479, 383), kLitDot);
}

TEST(BitmapExport, AFailedWriteLeavesTheOldFile) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "tvx230_bitmap_test";
    std::filesystem::create_directories(dir);
    const std::filesystem::path path = dir / "gl15.bmp";
    ASSERT_TRUE(write_bitmap_file(path, RgbImage(96, 96, {})));
    std::string bytes;
    ASSERT_TRUE(read_whole_file(path, bytes));
    EXPECT_EQ(bytes.size(), 27702u);
    EXPECT_FALSE(write_bitmap_file(dir / "missing" / "gl15.bmp", RgbImage(96, 96, {})));
    EXPECT_FALSE(write_bitmap_file(dir, RgbImage(96, 96, {})));  // a folder is never replaced
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tvx
