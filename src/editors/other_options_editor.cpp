#include "editors/other_options_editor.h"

#include "editors/per_page_preview.h"
#include "protocol/command_builders.h"

namespace tvx {

std::vector<std::string> page_items_with_auto(std::string_view auto_text) {
    std::vector<std::string> items;
    items.reserve(kPageCount + 1);
    for (int page = 1; page <= kPageCount; ++page) items.push_back(two_digits(page));
    items.emplace_back(auto_text);
    return items;
}

std::string_view OtherOptionsEditor::caption(Option option) {
    switch (option) {
        case Option::kConnectorInput:
            return "コネクター入力";
        case Option::kPowerOnPage:
            return "電源投入時ページ";
        case Option::kVideoLossBackground:
            return "ビデオロス背景色";
    }
    return {};
}

std::vector<std::string> OtherOptionsEditor::items(Option option) {
    switch (option) {
        case Option::kConnectorInput:
            return {"ALARM ", "REMOTE"};
        case Option::kPowerOnPage:
            return page_items_with_auto("PAS");
        case Option::kVideoLossBackground:
            return {"Normal", "Blue  "};
    }
    return {};
}

int& OtherOptionsEditor::field(Option option) {
    switch (option) {
        case Option::kConnectorInput:
            return tool_.model.connector_input;
        case Option::kPowerOnPage:
            return tool_.model.power_on_page;
        case Option::kVideoLossBackground:
            break;
    }
    return tool_.model.video_loss_background;
}

int OtherOptionsEditor::field(Option option) const {
    return const_cast<OtherOptionsEditor*>(this)->field(option);
}

int OtherOptionsEditor::selection(Option option) const {
    const int value = field(option);
    return value >= 0 && value < static_cast<int>(items(option).size()) ? value : -1;
}

void OtherOptionsEditor::select(Option option, int index) {
    if (index < 0 || index >= static_cast<int>(items(option).size())) return;
    field(option) = index;
}

void OtherOptionsEditor::send(Option option) {
    switch (option) {
        case Option::kConnectorInput:
            link_.send_command(build_setting_command(tool_.model, SettingCommand::CI));
            return;
        case Option::kPowerOnPage:
            link_.send_command(build_power_on_page(tool_.model));
            return;
        case Option::kVideoLossBackground:
            link_.send_command(build_setting_command(tool_.model, SettingCommand::VLBC));
            return;
    }
}

void OtherOptionsEditor::select_slave_address(int index) {
    if (index >= 0 && index <= kBroadcastAddress) tool_.model.run.slave_address = index;
}

}  // namespace tvx
