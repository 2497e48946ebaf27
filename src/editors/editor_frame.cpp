#include "editors/editor_frame.h"

namespace tvx {

std::vector<std::string> slave_address_items() {
    std::vector<std::string> items;
    items.reserve(kBroadcastAddress + 1);
    for (int address = 0; address < kBroadcastAddress; ++address) {
        items.push_back({static_cast<char>('0' + address / 10), static_cast<char>('0' + address % 10)});
    }
    items.emplace_back("Bloadcast");
    return items;
}

SlaveSelector slave_selector(const ToolState& tool) {
    if (tool.config.link_interface != 0 || tool.config.rs_control != 1) return {};
    const int address = tool.model.run.slave_address;
    return {true, address >= 0 && address <= kBroadcastAddress ? address : -1};
}

void editor_opened(ToolState& tool) { tool.model.run.hidden_entry_count = 0; }

std::string editor_window_title(const ToolState& tool, std::string_view caption, std::string_view title_text,
                                std::string_view selected_address) {
    if (tool.config.select_number == -1) return std::string(caption);
    return std::string(title_text) + std::string(selected_address);
}

}  // namespace tvx
