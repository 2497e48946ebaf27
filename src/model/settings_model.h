#pragma once

#include <array>
#include <string>

namespace tvx {

inline constexpr int kPageCount = 64;
inline constexpr int kScheduleDays = 31;
inline constexpr int kScheduleEntries = 24;
inline constexpr int kConnectorCount = 8;
inline constexpr int kBroadcastAddress = 32;  // slave address shown as "Bloadcast"
inline constexpr int kAutoSwitchPage = 64;    // "PAS"
inline constexpr int kScheduleOffPage = 65;   // "OFF"
inline constexpr std::size_t kTitleMaxBytes = 449;  // a title buffer holds 450 bytes with its terminator

// Colour index used by the character, edging and fill settings.
enum Colour { kBlack = 0, kRed, kGreen, kYellow, kBlue, kMagenta, kCyan, kWhite, kBlank };

// One page's display options. Titles are Shift JIS bytes; they may hold zero bytes inside glyph cells,
// so they are kept with their length rather than terminated.
struct PageSettings {
    std::string title;
    int char_size = 1;         // 0 LARGE, 1 MEDIUM, 2 SMALL
    int display_position = 1;  // 0 TOP, 1 BOTTOM
    int display_offset = 7;    // 0..15
    int scroll_speed = 3;      // 0..3, shown and sent as 1..4
    int blink = 0;             // 0 OFF, 1 ON
    int auto_switch = 1;       // 0 SKIP, 1 LIVE
    int char_colour = kWhite;
    int edge_colour = kBlack;
    int background_fill = 0;  // 0 OFF, 1 ON
    int char_level = 1;       // 0 LOW, 1 HIGH
};

// The ten numeric per-page options in the order the settings document stores them, with their ranges.
struct PageFieldRule {
    int PageSettings::*member;
    int min;
    int max;
    int default_value;
};
inline constexpr std::array<PageFieldRule, 10> kPageFields{{
    {&PageSettings::char_size, 0, 2, 1},
    {&PageSettings::display_position, 0, 1, 1},
    {&PageSettings::display_offset, 0, 15, 7},
    {&PageSettings::scroll_speed, 0, 3, 3},
    {&PageSettings::blink, 0, 1, 0},
    {&PageSettings::auto_switch, 0, 1, 1},
    {&PageSettings::char_colour, 0, 8, kWhite},
    {&PageSettings::edge_colour, 0, 8, kBlack},
    {&PageSettings::background_fill, 0, 1, 0},
    {&PageSettings::char_level, 0, 1, 1},
}};

struct ScheduleEntry {
    int hour = 0;     // 0..23
    int minute = 0;   // 0..59
    int page = kScheduleOffPage;  // 0..63 a page, 64 PAS, 65 OFF
};

using IPv4Octets = std::array<int, 4>;

struct NetworkSettings {
    IPv4Octets ip_address{};
    IPv4Octets gateway_address{};
    IPv4Octets active_address{};
    int subnet_class = 2;  // 0 Class A, 1 Class B, 2 Class C
    std::string port_number = "09004";  // also the port the TCP link uses; at most 5 characters
    int connection_try = 0;
    int keep_alive = 0;
    int time_register = 5;  // 0..5, shown and sent as 1..6
    std::string mac_address = "00-00-00-00-00-00";
    std::string version_number = "0.00";
};

// What each per-page editor's all-pages selector last chose. Not saved in documents.
struct EditorMemory {
    int all_char_size = 1;
    int all_display_position = 1;
    int all_display_offset = 7;
    int all_scroll_speed = 3;
    int all_blink = 0;
    int all_auto_switch = 1;
    int all_char_colour = kWhite;
    int all_edge_colour = kBlack;
    int all_background_fill = 0;
    int all_char_level = 1;
};

struct RunState {
    int current_page = 0;   // 0..63, shared by the per-page editors and the title editor
    int slave_address = 0;  // 0..31, or kBroadcastAddress
    // The settings document as the last New, Open or save left it. Whether the document has unsaved
    // changes (data_modified, settings_document.h) is told by comparing what a save would write now
    // with it, so every change is seen, whichever editor, reply or tool made it.
    std::string saved_document;
    int batch_step = 0;     // non-zero while a paced sequence runs
    int hidden_entry_count = 0;  // right clicks in a row at the screen's top-left corner
};

struct SettingsModel {
    std::array<PageSettings, kPageCount> pages{};
    std::array<std::array<ScheduleEntry, kScheduleEntries>, kScheduleDays> schedule{};

    int date_display = 0;        // 0 OFF, 1 ON
    int date_display_range = 0;  // 0..7
    int date_display_size = 0;   // 0 SMALL, 1 NORMAL

    int alarm_mode = 0;  // 0 Internal, 1 External
    std::string alarm_hold_time = "010";
    int alarm_polarity = 0;  // 0 Make, 1 Break
    int alarm_display = 1;
    int alarm_return = 1;
    std::array<int, kConnectorCount> connector_pages{0, 1, 2, 3, 4, 5, 6, 7};
    int remote_mode = 0;  // 0 BINARY, 1 BIT, 2 OPERATION

    int connector_input = 0;        // 0 ALARM, 1 REMOTE
    int power_on_page = 0;          // 0..63, 64 PAS
    int video_loss_background = 0;  // 0 Normal, 1 Blue

    NetworkSettings network;
    EditorMemory memory;
    RunState run;

    SettingsModel();
};

// Restores every default of the unit's settings, the editor memory and the run state, keeping the slave
// address; the defaults are then the saved document. The tool-wide variant in tool_state.h also clears
// the link flags and the glyph data.
void reset_settings(SettingsModel& model);

}  // namespace tvx
