// Bytes from a TCP peer, as they arrive: handed to the TCP reply entry whole, and again cut into pieces,
// which must come to the same thing: the same notices in the same order, the same model and the same
// half line left waiting. The accumulation never grows past its limit. Whether the bytes come outside
// any sequence or during a bank read, and how small the pieces are, is picked by the bytes themselves.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "model/settings_document.h"
#include "model/tool_state.h"
#include "protocol/reply_handler.h"
#include "protocol/title_encoding.h"

namespace {

using namespace tvx;
using tvx::fuzz::require;

struct Outcome {
    ToolState tool;
    fuzz::RecordedNotices notices;
};

void prepare(Outcome& out, bool in_bank_read) {
    reset_settings(out.tool);
    out.notices.calls.clear();
    out.tool.model.run.batch_step = in_bank_read ? 1 : 0;
    out.tool.glyphs.bank_sequence_active = in_bank_read ? 1 : 0;
    out.tool.glyphs.current_slot = in_bank_read ? kSmall.slot_count - 2 : 0;
}

void feed(Outcome& out, const std::vector<std::string_view>& pieces) {
    for (const std::string_view piece : pieces) {
        handle_tcp_reply(out.tool, out.notices, piece);
        require(out.tool.reply.tcp_line.text.size() <= ReplyState::kTcpAccumulationLimit,
                "TCP accumulation stays within its limit");
    }
    fuzz::check_model(out.tool.model, kTitleBytes);
}

void compare(const Outcome& a, const Outcome& b) {
    require(a.notices.calls == b.notices.calls, "same notices whatever the pieces");
    require(write_document(a.tool.model) == write_document(b.tool.model),
            "same settings whatever the pieces");
    const NetworkSettings& na = a.tool.model.network;
    const NetworkSettings& nb = b.tool.model.network;
    require(na.ip_address == nb.ip_address && na.gateway_address == nb.gateway_address &&
                na.active_address == nb.active_address && na.port_number == nb.port_number &&
                na.mac_address == nb.mac_address && na.version_number == nb.version_number,
            "same network settings whatever the pieces");
    require(a.tool.glyphs.current_slot == b.tool.glyphs.current_slot &&
                a.tool.glyphs.glyph_buffer == b.tool.glyphs.glyph_buffer,
            "same glyphs whatever the pieces");
    require(a.tool.link.error_reply == b.tool.link.error_reply, "same error flag whatever the pieces");
    require(a.tool.reply.tcp_line.text == b.tool.reply.tcp_line.text &&
                a.tool.reply.tcp_line.partial() == b.tool.reply.tcp_line.partial(),
            "same half line left whatever the pieces");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::as_text(data, size);
    const std::uint32_t pick = fuzz::text_hash(bytes);
    const bool in_bank_read = (pick & 1u) != 0;
    // Pieces of a few bytes, or about the size the link reads at once.
    const std::size_t max_piece = (pick & 2u) != 0 ? 7 : 1100;

    // Kept between runs and reset, so that each run does not pay for new banks.
    static Outcome whole;
    static Outcome cut;
    prepare(whole, in_bank_read);
    prepare(cut, in_bank_read);
    feed(whole, {bytes});
    feed(cut, fuzz::pieces_of(bytes, max_piece));
    compare(whole, cut);
    // Glyph lines were taken only if there were any: the banks are checked only then.
    if (bytes.find("FBM") != std::string_view::npos) {
        fuzz::check_glyphs(whole.tool.glyphs);
        require(whole.tool.glyphs.small_bank == cut.tool.glyphs.small_bank &&
                    whole.tool.glyphs.medium_bank == cut.tool.glyphs.medium_bank &&
                    whole.tool.glyphs.large_bank == cut.tool.glyphs.large_bank,
                "same banks whatever the pieces");
    }
    return 0;
}
