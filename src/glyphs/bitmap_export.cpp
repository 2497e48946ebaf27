#include "glyphs/bitmap_export.h"

#include "config/safe_file.h"
#include "glyphs/glyph_text.h"

namespace tvx {
namespace {

void put_le(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::size_t offset_of(const RgbImage& image, int x, int y) {
    return (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
            static_cast<std::size_t>(x)) *
           3;
}

}  // namespace

RgbImage::RgbImage(int w, int h, RgbColour fill) : width(w < 0 ? 0 : w), height(h < 0 ? 0 : h) {
    pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    for (std::size_t i = 0; i < pixels.size(); i += 3) {
        pixels[i] = fill.red;
        pixels[i + 1] = fill.green;
        pixels[i + 2] = fill.blue;
    }
}

RgbColour RgbImage::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return {};
    const std::size_t at = offset_of(*this, x, y);
    return {pixels[at], pixels[at + 1], pixels[at + 2]};
}

void RgbImage::set_pixel(int x, int y, RgbColour colour) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    const std::size_t at = offset_of(*this, x, y);
    pixels[at] = colour.red;
    pixels[at + 1] = colour.green;
    pixels[at + 2] = colour.blue;
}

void draw_glyph_dots(RgbImage& image, std::string_view text, const GlyphSize& size, int w, int h) {
    for (int y = 0; y < size.dots; ++y) {
        for (int x = 0; x < size.dots; ++x) {
            const bool lit = glyph_dot(text, size, x, y);
            const int left = x * w;
            const int top = y * h;
            for (int py = top; py < top + h; ++py) {
                for (int px = left; px < left + w; ++px) {
                    const bool outline = px == left || px == left + w - 1 || py == top || py == top + h - 1;
                    image.set_pixel(px, py, lit ? kLitDot : outline ? kDarkOutline : kDarkFill);
                }
            }
        }
    }
}

RgbImage glyph_cell_image(std::string_view text, const GlyphSize& size, int width, int height,
                          RgbColour background) {
    RgbImage image(width, height, background);
    draw_glyph_dots(image, text, size, 2, 2);
    return image;
}

int bitmap_stride(int width) {
    return (width * 3 + 3) / 4 * 4;
}

std::string bitmap_file_bytes(const RgbImage& image) {
    const int stride = bitmap_stride(image.width);
    const auto data_size = static_cast<std::uint32_t>(stride) * static_cast<std::uint32_t>(image.height);
    std::string out;
    out.reserve(54 + data_size);
    out += "BM";
    put_le(out, 54 + data_size, 4);
    put_le(out, 0, 2);
    put_le(out, 0, 2);
    put_le(out, 54, 4);
    put_le(out, 40, 4);
    put_le(out, static_cast<std::uint32_t>(image.width), 4);
    put_le(out, static_cast<std::uint32_t>(image.height), 4);  // positive: bottom row first
    put_le(out, 1, 2);
    put_le(out, 24, 2);
    put_le(out, 0, 4);                              // no compression
    put_le(out, 0, 4);                              // image size: may be 0 for uncompressed rows
    for (int i = 0; i < 4; ++i) put_le(out, 0, 4);  // resolutions and colour counts
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const RgbColour c = image.pixel(x, y);
            out += static_cast<char>(c.blue);
            out += static_cast<char>(c.green);
            out += static_cast<char>(c.red);
        }
        out.append(static_cast<std::size_t>(stride - image.width * 3), '\0');
    }
    return out;
}

bool write_bitmap_file(const std::filesystem::path& path, const RgbImage& image) {
    return write_file_replacing(path, bitmap_file_bytes(image));
}

}  // namespace tvx
