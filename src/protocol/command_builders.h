#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "glyphs/glyph_model.h"
#include "model/settings_model.h"
#include "protocol/command_set.h"

namespace tvx {

// Every command line the tool sends is formatted here and nowhere else. Each builder returns the whole
// line, CR LF included, ready for CommandLink::send_command. A builder that can refuse its input returns
// no line; the senders in command_senders.h tell the operator why.

// Per-page settings of page (0..63): "CFS05M". All pages: "CFS" + 64 letters.
std::string build_page_command(const SettingsModel& model, PageCommand command, int page);
std::string build_all_pages_command(const SettingsModel& model, PageCommand command);

// Settings of a few values: "AME", "TSDR3", "ECTON", "RMOPE", ...
std::string build_setting_command(const SettingsModel& model, SettingCommand command);

// Date and time from the editor's selector item index: "DSY16" for index 16 (2016), "DSM07" for index 6.
std::string build_date_command(DateCommand command, int item_index);
std::string build_time_adjust();  // "TSA", the 30-second correction

// Display page editor: "P07" for selection 6, "PAS" for 64 (automatic switching); "IDON" / "IDOF".
std::string build_display_page(int selection);
std::string build_display_switch(bool on);

// Alarm hold time: the seconds the text alarm_hold_time starts with (at most three digits), or -1 when
// it starts with no digit. "ADT" nnn is sent only for 3 seconds and more.
int alarm_hold_seconds(std::string_view text);
std::optional<std::string> build_alarm_hold_time(const SettingsModel& model);
inline constexpr std::string_view kAlarmHoldTooShort = "3秒以上を設定してください。";

// Connector pages: "ACA0102030405060708" (alarm editor) or "RCA..." (remote editor), same pages.
std::string build_connector_pages(const SettingsModel& model, ConnectorCommand command);

// Power-on page: "POSP12", or "POSPAS" for automatic switching.
std::string build_power_on_page(const SettingsModel& model);

// Schedule of day (0..30): "SD01" + 24 entries of hour, minute and page ("AS" automatic, "00" off).
std::string build_schedule_day(const SettingsModel& model, int day);

// Network: "EIA192.168.001.003"; "EPN09004". The port text is padded with leading zeros to five
// characters; a text that is empty, longer than five or not all digits gives no line.
std::string build_address_command(const SettingsModel& model, AddressCommand command);
std::optional<std::string> build_port_number(const SettingsModel& model);
inline constexpr std::string_view kPortNumberNotDigits = "ポート番号は5桁以内の数字で設定してください。";

// The unit's code of glyph slot s (0..255): A365 upward. 0 for a slot outside 0..255.
std::uint16_t glyph_code(int slot);

// The slot whose glyph_code is code, or -1.
int glyph_slot(std::uint16_t code);

// The JIS code of the glyph editor's sample character: its first two bytes as a Shift JIS character,
// 0x2121 (ideographic space) for anything that is not one. No code for a sample longer than four bytes.
std::optional<std::uint16_t> sample_char_code(std::string_view sample);
inline constexpr std::string_view kSampleTooLong = "外字登録番号";

// Glyph registration "GRL001" + the glyph digits of text (N of the size; missing digits are sent as
// "0", every digit as the uppercase digit of its low four bits).
std::string build_glyph_register(const GlyphSize& size, int slot, std::string_view text);

// Glyph bitmap read "RFBML2422".
std::string build_glyph_read(const GlyphSize& size, std::uint16_t code);

// Glyph insertion "G012P05I100": slot index, page index, insert position index, each from 0.
std::string build_glyph_insert(int slot, int page, int position);

// Read commands: "RCFS", ... (any row of kReadCommands), "RCA05" (title of page index 4), "RSD31".
std::string build_read_command(std::string_view read);
std::string build_title_read(int page);
std::string build_schedule_read(int day);

// Data lines only a unit sends; the virtual unit answers with them.
std::string build_version_line(const SettingsModel& model);     // "VN1.23"
std::string build_mac_line(const SettingsModel& model);         // "EMA00-11-22-33-44-55"
std::string build_alarm_hold_line(const SettingsModel& model);  // "ADT010" as the unit stores it

}  // namespace tvx
