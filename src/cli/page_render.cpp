#include "cli/page_render.h"

#include <QBuffer>
#include <QDateTime>
#include <QGuiApplication>
#include <QImage>
#include <filesystem>
#include <system_error>

#include "cli/document_diff.h"
#include "cli/glyph_offline.h"
#include "config/path_text.h"
#include "config/safe_file.h"
#include "link/code_page_932.h"
#include "preview/monitor_preview.h"

namespace tvx {
namespace {

constexpr char kPrefix[] = "tvx230-cli: render: ";

std::string png_bytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

PreviewClock clock_now() {
    const QDateTime now = QDateTime::currentDateTime();
    return {now.date().year(), now.date().month(),  now.date().day(),
            now.time().hour(), now.time().minute(), now.time().second()};
}

std::string two_digits(int n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

std::string html_escaped(const QString& text) {
    return text.toHtmlEscaped().toStdString();
}

// What a thumbnail of the contact sheet is captioned with: page, size, position and offset, title.
std::string page_caption(const SettingsModel& model, int page) {
    const PageSettings& p = model.pages[static_cast<std::size_t>(page)];
    static const char* const kSizes[] = {"LARGE", "MEDIUM", "SMALL"};
    const std::string size = p.char_size >= 0 && p.char_size <= 2 ? kSizes[p.char_size] : "?";
    const std::string position = p.display_position == 0 ? "TOP" : "BOTTOM";
    const QString title =
        decode_code_page_932(QByteArrayView(p.title.data(), static_cast<qsizetype>(p.title.size())))
            .text.trimmed();
    QString shown;
    // Glyph cells and line breaks are bytes below a space: one space each on the sheet.
    for (const QChar c : title) shown += c.unicode() < 0x20 ? QChar(' ') : c;
    return "P" + two_digits(page + 1) + " " + size + " " + position + " " + two_digits(p.display_offset) +
           "<br>" + html_escaped(shown);
}

bool write_replacing(const std::filesystem::path& path, const std::string& bytes, Console& console) {
    std::error_code error;
    if (write_file_replacing(path, bytes, error)) return true;
    console.message(std::string(kPrefix) + "cannot write " + path_to_utf8(path) + ": " + error.message());
    return false;
}

}  // namespace

int render_document(const std::string& input, std::optional<int> page, const std::string& output,
                    Console& console) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        console.message(std::string(kPrefix) + "no graphics to draw with (needs a QGuiApplication)");
        return 1;
    }
    SettingsModel model;
    reset_settings(model);
    if (!read_document_file(input, model, console)) return 1;
    if (page && (*page < 1 || *page > kPageCount)) {
        console.message(std::string(kPrefix) + "page " + std::to_string(*page) +
                        " is out of range: a document has pages 1 to " + std::to_string(kPageCount));
        return 1;
    }
    // A settings document holds no glyphs: they come from the bank files of the same name beside it, as a
    // backup folder keeps them (unit.dat, unit.tll...). A size without its file shows blank glyph cells.
    GlyphModel glyphs;
    for (const GlyphSize* size : kGlyphSizes) {
        const std::filesystem::path bank =
            path_from_utf8(input).replace_extension(std::string(size->extension));
        std::error_code missing;
        if (std::filesystem::exists(bank, missing) &&
            !read_bank_strict(path_to_utf8(bank), *size, glyphs, console))
            return 1;
    }
    const PreviewClock clock = clock_now();
    const auto image_of = [&](int index) {
        return png_bytes(render_monitor_preview(PreviewScene{model, glyphs, index, 0, clock, nullptr}));
    };
    if (page) return write_replacing(path_from_utf8(output), image_of(*page - 1), console) ? 0 : 1;

    const std::filesystem::path folder = path_from_utf8(output);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder)) {
        console.message(std::string(kPrefix) + "cannot make the folder " + output +
                        (error ? ": " + error.message() : std::string()));
        return 1;
    }
    std::string index =
        "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"utf-8\"><title>" +
        html_escaped(QString::fromStdString(path_to_utf8(path_from_utf8(input).filename()))) +
        "</title>\n<style>body{font-family:sans-serif;background:#222;color:#eee}figure{display:inline-block;"
        "margin:6px;width:240px;vertical-align:top}img{width:240px;height:180px}figcaption{font-size:12px}"
        "</style></head><body>\n<p>目安: the monitor as the tool models it</p>\n";
    for (int i = 0; i < kPageCount; ++i) {
        const std::string name = "page" + two_digits(i + 1) + ".png";
        if (!write_replacing(folder / name, image_of(i), console)) return 1;
        index += "<figure><a href=\"" + name + "\"><img src=\"" + name + "\" alt=\"P" + two_digits(i + 1) +
                 "\"></a><figcaption>" + page_caption(model, i) + "</figcaption></figure>\n";
    }
    index += "</body></html>\n";
    return write_replacing(folder / "index.html", index, console) ? 0 : 1;
}

}  // namespace tvx
