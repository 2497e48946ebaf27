#pragma once

#include <array>
#include <string_view>

#include "model/settings_model.h"

namespace tvx {

// The unit's command set as data: one row per mnemonic. The builders format lines from these rows, the
// reply decoders read data lines by them, and the virtual unit parses commands and answers reads with them.

// The value texts of a choice field, in value order.
using Choices = std::array<std::string_view, 8>;

// Per-page settings: a page command ("CFS" pp letter) and an all-pages command ("CFS" + 64 letters).
enum class PageCommand { CFS, IDP, IDO, ISS, CBS, PAS, CABC, FB, CWL };

enum class PageFieldKind {
    kChoice,     // one of a few texts; the all-pages form carries each text's last letter
    kTwoDigits,  // two decimal digits from min to max
    kColours,    // character colour and edging colour, one digit each
};

struct PageCommandRow {
    PageCommand command;
    std::string_view mnemonic;
    std::string_view read;  // read command whose answer is the all-pages line
    PageFieldKind kind;
    int PageSettings::*field;
    Choices choices;  // page-command text of each value
    int choice_count;
    int foreign;  // value of a received letter that is none of the choices; -1 leaves the field as it is
    int min;
    int max;
};

// clang-format off
inline constexpr std::array<PageCommandRow, 9> kPageCommands{{
    {PageCommand::CFS, "CFS", "RCFS", PageFieldKind::kChoice, &PageSettings::char_size, {"L", "M", "S"}, 3, 2, 0, 2},
    {PageCommand::IDP, "IDP", "RIDP", PageFieldKind::kChoice, &PageSettings::display_position, {"T", "B"}, 2, 1, 0, 1},
    {PageCommand::IDO, "IDO", "RIDO", PageFieldKind::kTwoDigits, &PageSettings::display_offset, {}, 0, -1, 0, 15},
    {PageCommand::ISS, "ISS", "RISS", PageFieldKind::kChoice, &PageSettings::scroll_speed, {"1", "2", "3", "4"}, 4, -1,
     0, 3},
    {PageCommand::CBS, "CBS", "RCBS", PageFieldKind::kChoice, &PageSettings::blink, {"OF", "ON"}, 2, 1, 0, 1},
    {PageCommand::PAS, "PAS", "RPAS", PageFieldKind::kChoice, &PageSettings::auto_switch, {"S", "L"}, 2, 1, 0, 1},
    {PageCommand::CABC, "CABC", "RCABC", PageFieldKind::kColours, &PageSettings::char_colour, {}, 0, -1, 0, kBlank},
    {PageCommand::FB, "FB", "RFB", PageFieldKind::kChoice, &PageSettings::background_fill, {"OF", "ON"}, 2, 1, 0, 1},
    {PageCommand::CWL, "CWL", "RCWL", PageFieldKind::kChoice, &PageSettings::char_level, {"L", "H"}, 2, 1, 0, 1},
}};
// clang-format on

const PageCommandRow& page_command_row(PageCommand command);

// Width of one page's field in the all-pages form.
int all_pages_field_width(const PageCommandRow& row);

// Settings of a few values, sent as the mnemonic followed by one of the value texts.
enum class SettingCommand { TSDR, TSDS, TSDO, AM, AP, ADO, ARO, RM, CI, VLBC, ESM, ECT, EKA, ETR };

struct SettingCommandRow {
    SettingCommand command;
    std::string_view mnemonic;
    std::string_view read;
    int SettingsModel::*field;      // a field of the model itself, or
    int NetworkSettings::*network;  // a field of its network settings
    Choices choices;
    int choice_count;
    int foreign;  // value of a received letter that is none of the choices; -1 leaves the field as it is
};

// clang-format off
inline constexpr std::array<SettingCommandRow, 14> kSettingCommands{{
    {SettingCommand::TSDR, "TSDR", "RTSDR", &SettingsModel::date_display_range, nullptr,
     {"1", "2", "3", "4", "5", "6", "7", "8"}, 8, -1},
    {SettingCommand::TSDS, "TSDS", "RTSDS", &SettingsModel::date_display_size, nullptr, {"S", "N"}, 2, 1},
    {SettingCommand::TSDO, "TSDO", "RTSD", &SettingsModel::date_display, nullptr, {"F", "N"}, 2, 1},
    {SettingCommand::AM, "AM", "RAM", &SettingsModel::alarm_mode, nullptr, {"I", "E"}, 2, 1},
    {SettingCommand::AP, "AP", "RAP", &SettingsModel::alarm_polarity, nullptr, {"M", "B"}, 2, 1},
    {SettingCommand::ADO, "ADO", "RAD", &SettingsModel::alarm_display, nullptr, {"F", "N"}, 2, 1},
    {SettingCommand::ARO, "ARO", "RAR", &SettingsModel::alarm_return, nullptr, {"F", "N"}, 2, 1},
    {SettingCommand::RM, "RM", "RRM", &SettingsModel::remote_mode, nullptr, {"BIN", "BIT", "OPE"}, 3, 2},
    {SettingCommand::CI, "CI", "RCI", &SettingsModel::connector_input, nullptr, {"A", "R"}, 2, 1},
    {SettingCommand::VLBC, "VLBC", "RVLBC", &SettingsModel::video_loss_background, nullptr, {"N", "B"}, 2, 0},
    {SettingCommand::ESM, "ESM", "RESM", nullptr, &NetworkSettings::subnet_class, {"A", "B", "C"}, 3, -1},
    {SettingCommand::ECT, "ECT", "RECT", nullptr, &NetworkSettings::connection_try, {"OF", "ON"}, 2, 1},
    {SettingCommand::EKA, "EKA", "REKA", nullptr, &NetworkSettings::keep_alive, {"OF", "ON"}, 2, 1},
    {SettingCommand::ETR, "ETR", "RETR", nullptr, &NetworkSettings::time_register, {"1", "2", "3", "4", "5", "6"}, 6,
     -1},
}};
// clang-format on

const SettingCommandRow& setting_command_row(SettingCommand command);
int& setting_field(SettingsModel& model, const SettingCommandRow& row);
int setting_field(const SettingsModel& model, const SettingCommandRow& row);

// The text a choice field sends for value: the value's own text, or, for a value outside the list, the
// text of 1 when there are two choices (any non-zero value is "on") and the first text otherwise.
std::string_view choice_text(const Choices& choices, int count, int value);

// The value of a received choice letter (the last letter of a choice text), or foreign for none.
int choice_value(const Choices& choices, int count, char letter, int foreign);

// Date and time: the year to second selections of the date and time editor.
enum class DateCommand { DSY, DSM, DSD, TSH, TSM, TSS };

struct DateCommandRow {
    DateCommand command;
    std::string_view mnemonic;
    int offset;  // added to the selector's item index
    int min;     // the values the unit takes
    int max;
};

// clang-format off
inline constexpr std::array<DateCommandRow, 6> kDateCommands{{
    {DateCommand::DSY, "DSY", 0, 0, 99},
    {DateCommand::DSM, "DSM", 1, 1, 12},
    {DateCommand::DSD, "DSD", 1, 1, 31},
    {DateCommand::TSH, "TSH", 0, 0, 23},
    {DateCommand::TSM, "TSM", 0, 0, 59},
    {DateCommand::TSS, "TSS", 0, 0, 59},
}};
// clang-format on

// The three network addresses.
enum class AddressCommand { EIA, EGA, EAA };

struct AddressCommandRow {
    AddressCommand command;
    std::string_view mnemonic;
    std::string_view read;
    IPv4Octets NetworkSettings::*field;
};

// clang-format off
inline constexpr std::array<AddressCommandRow, 3> kAddressCommands{{
    {AddressCommand::EIA, "EIA", "REIA", &NetworkSettings::ip_address},
    {AddressCommand::EGA, "EGA", "REGA", &NetworkSettings::gateway_address},
    {AddressCommand::EAA, "EAA", "REAA", &NetworkSettings::active_address},
}};
// clang-format on

// Connector page assignment: the alarm editor's "ACA" and the remote editor's "RCA" carry the same pages.
enum class ConnectorCommand { ACA, RCA };

// Read commands without a parameter and the data line each is answered with. "RCA" pp and "RSD" dd, and
// the bitmap reads, take parameters and have builders of their own.
struct ReadCommandRow {
    std::string_view read;
    std::string_view reply;
};

// clang-format off
inline constexpr std::array<ReadCommandRow, 32> kReadCommands{{
    {"RACA", "ACA"},   {"RAD", "ADO"},     {"RADT", "ADT"},   {"RAM", "AM"},     {"RAP", "AP"},
    {"RAR", "ARO"},    {"RCABC", "CABC"},  {"RCBS", "CBS"},   {"RCFS", "CFS"},   {"RCI", "CI"},
    {"RCWL", "CWL"},   {"RFB", "FB"},      {"RIDO", "IDO"},   {"RIDP", "IDP"},   {"RISS", "ISS"},
    {"RPAS", "PAS"},   {"RPOSP", "POSP"},  {"RRM", "RM"},     {"RTSD", "TSDO"},  {"RTSDR", "TSDR"},
    {"RTSDS", "TSDS"}, {"RVLBC", "VLBC"},  {"RVN", "VN"},     {"REAA", "EAA"},   {"REGA", "EGA"},
    {"REIA", "EIA"},   {"RECT", "ECT"},    {"REKA", "EKA"},   {"REPN", "EPN"},   {"RESM", "ESM"},
    {"RETR", "ETR"},   {"REMA", "EMA"},
}};
// clang-format on

// Fixed line lengths, CR LF not counted.
inline constexpr std::size_t kScheduleLineLength = 148;
inline constexpr std::size_t kTitleLineLength = 900;
inline constexpr std::size_t kConnectorLineLength = 19;
inline constexpr std::size_t kAddressLineLength = 18;
inline constexpr std::size_t kMacLineLength = 20;
inline constexpr std::size_t kVersionLineLength = 6;
inline constexpr std::size_t kPortLineLength = 8;

}  // namespace tvx
