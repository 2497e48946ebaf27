#pragma once

#include <string_view>

#include "config/notices.h"
#include "glyphs/glyph_model.h"
#include "model/settings_model.h"
#include "protocol/command_link.h"

namespace tvx {

// Sends that can be refused before anything goes out. Each tells the operator why and returns false
// when nothing was sent.

// "ADT": refused with "3秒以上を設定してください。" below 3 seconds.
bool send_alarm_hold_time(const SettingsModel& model, CommandLink& link, Notices& notices);

// "EPN": refused when the port text is not one to five digits.
bool send_port_number(const SettingsModel& model, CommandLink& link, Notices& notices);

inline constexpr std::string_view kSocketNotConnected = "Socket が接続されていません";

// A glyph bitmap read for code. The glyph editor's reads ask check_connection: over TCP without a
// connection they show "Socket が接続されていません"; the bank sequences only wait for the pending flag.
// Nothing is sent while glyph_reply_pending is set; sending sets it.
bool send_glyph_read(GlyphModel& glyphs, const GlyphSize& size, std::uint16_t code, CommandLink& link,
                     Notices& notices, bool check_connection);

// The glyph editor's sample read: refused with "外字登録番号" for a sample longer than four bytes.
bool send_sample_read(GlyphModel& glyphs, const GlyphSize& size, std::string_view sample, CommandLink& link,
                      Notices& notices);

// The glyph editor's registration of the working glyph under slot current_slot, after the operator has
// confirmed that the unit is not switching pages by itself.
bool send_working_glyph(const GlyphModel& glyphs, const GlyphSize& size, CommandLink& link, Notices& notices);

}  // namespace tvx
