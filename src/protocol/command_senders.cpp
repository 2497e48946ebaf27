#include "protocol/command_senders.h"

#include "protocol/command_builders.h"

namespace tvx {

bool send_alarm_hold_time(const SettingsModel& model, CommandLink& link, Notices& notices) {
    const std::optional<std::string> line = build_alarm_hold_time(model);
    if (!line) {
        notices.notify_error(kAlarmHoldTooShort);
        return false;
    }
    link.send_command(*line);
    return true;
}

bool send_port_number(const SettingsModel& model, CommandLink& link, Notices& notices) {
    const std::optional<std::string> line = build_port_number(model);
    if (!line) {
        notices.notify_error(kPortNumberNotDigits);
        return false;
    }
    link.send_command(*line);
    return true;
}

bool send_glyph_read(GlyphModel& glyphs, const GlyphSize& size, std::uint16_t code, CommandLink& link,
                     Notices& notices, bool check_connection) {
    if (check_connection && !link.tcp_is_connected()) {
        notices.notify_error(kSocketNotConnected);
        return false;
    }
    if (glyphs.glyph_reply_pending != 0) return false;
    glyphs.glyph_reply_pending = 1;
    link.send_command(build_glyph_read(size, code));
    return true;
}

bool send_sample_read(GlyphModel& glyphs, const GlyphSize& size, std::string_view sample, CommandLink& link,
                      Notices& notices) {
    const std::optional<std::uint16_t> code = sample_char_code(sample);
    if (!code) {
        notices.notify_error(kSampleTooLong);
        return false;
    }
    return send_glyph_read(glyphs, size, *code, link, notices, true);
}

bool send_working_glyph(const GlyphModel& glyphs, const GlyphSize& size, CommandLink& link,
                        Notices& notices) {
    if (!notices.confirm_not_auto_switching()) return false;
    link.send_command(build_glyph_register(size, glyphs.current_slot, glyphs.glyph_buffer));
    return true;
}

}  // namespace tvx
