#include "editors/display_page_editor.h"

#include "editors/other_options_editor.h"
#include "protocol/command_builders.h"

namespace tvx {

std::string_view DisplayPageEditor::caption(Setting setting) {
    return setting == Setting::kPage ? "ページ" : "表示ON/OFF";
}

std::vector<std::string> DisplayPageEditor::items(Setting setting) {
    if (setting == Setting::kPage) return page_items_with_auto("PAS ");
    return {"OFF", "ON "};
}

int DisplayPageEditor::selection(Setting setting) const {
    const int value =
        setting == Setting::kPage ? choice_.display_page_selection : choice_.page_display_switch;
    return value >= 0 && value < static_cast<int>(items(setting).size()) ? value : -1;
}

void DisplayPageEditor::select(Setting setting, int index) {
    if (index < 0 || index >= static_cast<int>(items(setting).size())) return;
    (setting == Setting::kPage ? choice_.display_page_selection : choice_.page_display_switch) = index;
}

void DisplayPageEditor::send(Setting setting) {
    if (setting == Setting::kPage) {
        link_.send_command(build_display_page(choice_.display_page_selection));
    } else {
        link_.send_command(build_display_switch(choice_.page_display_switch != 0));
    }
}

void DisplayPageEditor::select_slave_address(int index) {
    if (index >= 0 && index <= kBroadcastAddress) tool_.model.run.slave_address = index;
}

}  // namespace tvx
