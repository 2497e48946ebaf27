#include "cli/offline_commands.h"

#include <string>

#include "cli/document_diff.h"
#include "cli/glyph_offline.h"
#include "cli/page_render.h"
#include "config/file_extension.h"

namespace tvx {
namespace {

constexpr char kPrefix[] = "tvx230-cli: ";

}  // namespace

std::optional<int> run_offline_command(const CliOptions& o, std::ostream& out, Console& console) {
    switch (o.command) {
        case CliOptions::Command::kGlyphConvert: {
            const int code = convert_glyph_banks(o.input, o.number, o.into, console);
            if (code == 0 && !o.quiet) console.message(std::string(kPrefix) + "glyphs convert: done");
            return code;
        }
        case CliOptions::Command::kGlyphBmp: {
            const int code = export_glyph_bitmap(o.input, *o.number, o.output, o.background, console);
            if (code == 0 && !o.quiet)
                console.message(std::string(kPrefix) + "glyphs bmp: wrote " +
                                with_extension(o.output, ".bmp"));
            return code;
        }
        case CliOptions::Command::kDiff:
            return diff_documents(o.input, o.compared, out, console);
        case CliOptions::Command::kShow:
            return show_document(o.input, out, console);
        case CliOptions::Command::kRender:
            return render_document(o.input, o.all_pages ? std::nullopt : o.page, o.output, console);
        default:
            return std::nullopt;
    }
}

}  // namespace tvx
