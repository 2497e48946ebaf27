// Bytes from a serial line, as a unit or the noise on its line delivers them: joined into lines by the
// line assembly the serial link uses and handed one by one to the serial reply entry, once on an RS-232C
// line outside any sequence and once on an RS-485 line inside a bank read that is about to run off the
// end of its bank.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "model/tool_state.h"
#include "protocol/line_assembler.h"
#include "protocol/reply_handler.h"
#include "protocol/title_encoding.h"

namespace {

using namespace tvx;
using tvx::fuzz::require;

// The serial link's limit for one reply line, LF included.
constexpr std::size_t kSerialLineLimit = 1023;

std::vector<std::string> lines_of(const std::vector<std::string_view>& pieces) {
    std::vector<std::string> lines;
    LineAssembler assembler(kSerialLineLimit);
    for (const std::string_view piece : pieces) {
        assembler.feed(piece, [&lines](const std::string& line) { lines.push_back(line); });
        require(assembler.pending() <= kSerialLineLimit, "line assembly stays within its limit");
    }
    return lines;
}

void handle_all(ToolState& tool, const std::vector<std::string>& lines, bool glyph_lines) {
    fuzz::RecordedNotices notices;
    for (const std::string& line : lines) {
        require(line.size() <= kSerialLineLimit && !line.empty() && line.back() == '\n',
                "a handed-over line is whole and within the limit");
        handle_serial_reply(tool, notices, line);
        require(tool.link.reply_expected == 0 && tool.link.reply_timeout_ticks == 0,
                "every line ends the reply wait");
        require(tool.link.error_reply == 0 || tool.link.error_reply == 1, "error flag is 0 or 1");
        require(tool.glyphs.glyph_reply_pending == 0, "every line ends a glyph read");
    }
    fuzz::check_model(tool.model, kTitleBytes);
    for (const PageSettings& page : tool.model.pages)
        require(page.title.size() % 2 == 0, "whole title cells");
    if (glyph_lines) fuzz::check_glyphs(tool.glyphs);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::as_text(data, size);

    // However the bytes are split across reads, the same lines come out.
    const std::vector<std::string> lines = lines_of({bytes});
    require(lines == lines_of(fuzz::pieces_of(bytes, 300)), "line assembly does not depend on the reads");
    const bool glyph_lines = bytes.find("FBM") != std::string_view::npos;

    // Kept between runs and reset, so that each run does not pay for new banks.
    static ToolState idle;
    reset_settings(idle);
    idle.config.rs_control = 0;
    idle.glyphs.bank_sequence_active = 0;
    handle_all(idle, lines, glyph_lines);

    static ToolState bank_read;
    reset_settings(bank_read);
    bank_read.config.rs_control = 1;
    bank_read.model.run.batch_step = 1;
    bank_read.glyphs.bank_sequence_active = 1;
    bank_read.glyphs.current_slot = kLarge.slot_count - 2;
    handle_all(bank_read, lines, glyph_lines);
    return 0;
}
