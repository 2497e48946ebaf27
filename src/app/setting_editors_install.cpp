#include "app/setting_editors_install.h"

#include <array>
#include <memory>
#include <string>
#include <utility>

#include "app/command_table.h"
#include "app/main_window.h"
#include "link/tcp_link.h"
#include "ui/alarm_dialog.h"
#include "ui/date_time_dialog.h"
#include "ui/display_page_dialog.h"
#include "ui/fleet_dialog.h"
#include "ui/network_settings_dialog.h"
#include "ui/other_options_dialog.h"
#include "ui/per_page_dialog.h"
#include "ui/remote_dialog.h"
#include "ui/schedule_dialog.h"
#include "ui/slave_address_dialog.h"
#include "ui/window_modal.h"

namespace tvx {
namespace {

// The address of the TCP unit select_number names, for the editors' window titles; empty when there
// is no TCP link or the number names no entry.
std::string selected_unit_address(const MainWindow& window, const ToolState& tool) {
    const auto* link = window.findChild<TcpLink*>();
    const int number = tool.config.select_number;
    if (!link || number < 0 || number >= kClientTableSize) return {};
    return link->client_table()[static_cast<std::size_t>(number)].address;
}

constexpr std::array<std::pair<int, PerPageMember>, 9> kPerPageMenu{{
    {command::kCharSize, PerPageMember::kCharSize},
    {command::kDisplayPosition, PerPageMember::kDisplayPosition},
    {command::kDisplayOffset, PerPageMember::kDisplayOffset},
    {command::kScrollSpeed, PerPageMember::kScrollSpeed},
    {command::kBlink, PerPageMember::kBlink},
    {command::kAutoSwitch, PerPageMember::kAutoSwitch},
    {command::kCharColour, PerPageMember::kCharColour},
    {command::kBackgroundFill, PerPageMember::kBackgroundFill},
    {command::kCharLevel, PerPageMember::kCharLevel},
}};

// What the editors remember between openings beside the model, for as long as the tool runs.
struct EditorsMemory {
    DisplayPageChoice display_page;
    ScheduleSelection schedule;
};

}  // namespace

void install_setting_editors(MainWindow& window, ToolState& tool, Notices& notices, CommandLink& direct_link) {
    MainWindow* owner = &window;
    // With several units chosen in the server dialog, an editor's 設定 goes to each of them.
    CommandLink& link = *new ChosenUnitsLink(tool, notices, direct_link, owner);
    auto memory = std::make_shared<EditorsMemory>();
    for (const auto& [id, member] : kPerPageMenu) {
        const PerPageEditorForm& form = per_page_form(member);
        window.register_opener(id, [owner, &tool, &link, &form] {
            PerPageDialog dialog(tool, link, form, selected_unit_address(*owner, tool), owner);
            exec_window_modal(dialog);
        });
    }
    window.register_opener(command::kDateTime, [owner, &tool, &link] {
        DateTimeDialog dialog(tool, link, DateTimeDialog::local_now(), selected_unit_address(*owner, tool),
                              owner);
        exec_window_modal(dialog);
    });
    window.register_opener(command::kSchedule, [owner, &tool, &link, &notices, memory] {
        ScheduleDialog dialog(tool, link, notices, memory->schedule, selected_unit_address(*owner, tool),
                              owner);
        exec_window_modal(dialog);
    });
    window.register_opener(command::kAlarm, [owner, &tool, &link, &notices] {
        AlarmDialog dialog(tool, link, notices, selected_unit_address(*owner, tool), owner);
        exec_window_modal(dialog);
    });
    window.register_opener(command::kRemote, [owner, &tool, &link] {
        RemoteDialog dialog(tool, link, selected_unit_address(*owner, tool), owner);
        exec_window_modal(dialog);
    });
    // The main window refuses this one on a TCP/IP interface before it gets here.
    window.register_opener(command::kProtocol, [owner, &tool, &link, &notices] {
        NetworkSettingsDialog dialog(tool, link, notices, selected_unit_address(*owner, tool), owner);
        exec_window_modal(dialog);
    });
    window.register_opener(command::kOtherOptions, [owner, &tool, &link] {
        OtherOptionsDialog dialog(tool, link, selected_unit_address(*owner, tool), owner);
        exec_window_modal(dialog);
    });
    window.register_opener(command::kDisplayPage, [owner, &tool, &link, memory] {
        DisplayPageDialog dialog(tool, link, memory->display_page, selected_unit_address(*owner, tool),
                                 owner);
        exec_window_modal(dialog);
    });
    window.register_opener(command::kSlaveAddress, [owner, &tool] {
        SlaveAddressDialog dialog(tool, selected_unit_address(*owner, tool), owner);
        exec_window_modal(dialog);
    });
}

}  // namespace tvx
