#include "editors/date_time_editor.h"

#include "protocol/command_builders.h"

namespace tvx {
namespace {

constexpr std::string_view kClockCaptions[] = {"年", "月", "日", "時", "分", "秒"};
constexpr DateCommand kClockCommands[] = {DateCommand::DSY, DateCommand::DSM, DateCommand::DSD,
                                          DateCommand::TSH, DateCommand::TSM, DateCommand::TSS};

struct NumberList {
    int first;  // text of item 0
    int count;
};
constexpr NumberList kClockLists[] = {{2000, 100}, {1, 12}, {1, 31}, {0, 24}, {0, 60}, {0, 60}};

int item_count(DateTimeEditor::ClockField field) {
    return kClockLists[static_cast<int>(field)].count;
}

}  // namespace

void DateTimeEditor::open_editor(const LocalDateTime& now) {
    const int values[] = {
        now.year - kFirstYear, now.month - 1, now.day - 1, now.hour, now.minute, now.second};
    for (int f = 0; f < 6; ++f) {
        clock_[static_cast<std::size_t>(f)] =
            values[f] >= 0 && values[f] < kClockLists[f].count ? values[f] : -1;
    }
}

std::string_view DateTimeEditor::caption(ClockField field) {
    return kClockCaptions[static_cast<int>(field)];
}

std::vector<std::string> DateTimeEditor::items(ClockField field) {
    const NumberList list = kClockLists[static_cast<int>(field)];
    std::vector<std::string> items;
    items.reserve(static_cast<std::size_t>(list.count));
    for (int i = 0; i < list.count; ++i) items.push_back(std::to_string(list.first + i));
    return items;
}

void DateTimeEditor::select(ClockField field, int index) {
    if (index >= 0 && index < item_count(field)) clock_[static_cast<std::size_t>(field)] = index;
}

bool DateTimeEditor::send(ClockField field) {
    const int index = selection(field);
    if (index < 0) return false;
    link_.send_command(build_date_command(kClockCommands[static_cast<int>(field)], index));
    return true;
}

std::string_view DateTimeEditor::caption(LineOption option) {
    switch (option) {
        case LineOption::kRange:
            return "表示範囲";
        case LineOption::kDisplay:
            return "表示";
        case LineOption::kSize:
            return "表示サイズ";
    }
    return {};
}

std::vector<std::string> DateTimeEditor::items(LineOption option) {
    switch (option) {
        case LineOption::kRange:
            return {"年月日時分秒", "年月日時分　", "年月日　　　", "　月日時分秒",
                    "　月日時分　", "　月日　　　", "　　　時分秒", "　　　時分　"};
        case LineOption::kDisplay:
            return {"OFF", "ON "};
        case LineOption::kSize:
            return {"SMALL ", "NORMAL"};
    }
    return {};
}

int& DateTimeEditor::field(LineOption option) {
    switch (option) {
        case LineOption::kRange:
            return tool_.model.date_display_range;
        case LineOption::kDisplay:
            return tool_.model.date_display;
        case LineOption::kSize:
            break;
    }
    return tool_.model.date_display_size;
}

int DateTimeEditor::field(LineOption option) const {
    return const_cast<DateTimeEditor*>(this)->field(option);
}

int DateTimeEditor::selection(LineOption option) const {
    const int value = field(option);
    return value >= 0 && value < static_cast<int>(items(option).size()) ? value : -1;
}

void DateTimeEditor::select(LineOption option, int index) {
    if (index >= 0 && index < static_cast<int>(items(option).size())) field(option) = index;
}

void DateTimeEditor::send(LineOption option) {
    static constexpr SettingCommand kCommands[] = {SettingCommand::TSDR, SettingCommand::TSDO,
                                                   SettingCommand::TSDS};
    link_.send_command(build_setting_command(tool_.model, kCommands[static_cast<int>(option)]));
}

void DateTimeEditor::send_correction() {
    link_.send_command(build_time_adjust());
}

void DateTimeEditor::select_slave_address(int index) {
    if (index >= 0 && index <= kBroadcastAddress) tool_.model.run.slave_address = index;
}

}  // namespace tvx
