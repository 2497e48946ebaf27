#include "protocol/apply_plan.h"

#include <algorithm>

#include "protocol/read_back_sequence.h"

namespace tvx {

std::vector<FullSendItem> differing_send_items(const SettingsModel& source, const SettingsModel& unit) {
    std::vector<FullSendItem> items;
    for (int step = 1; step < kFullSendSteps; ++step) {
        if (full_send_command(source, step) == full_send_command(unit, step)) continue;
        if (!full_send_step_per_page(step)) {
            items.push_back({step});
            continue;
        }
        std::vector<int> pages;
        for (int page = 0; page < kPageCount; ++page) {
            if (full_send_item_command(source, {step, page}) != full_send_item_command(unit, {step, page}))
                pages.push_back(page);
        }
        // The all-pages line differs on some page, which the page lines find; should they not, the
        // all-pages line still goes: a line that differs is never left out.
        items.push_back(pages.size() == 1 ? FullSendItem{step, pages.front()} : FullSendItem{step});
    }
    return items;
}

int read_back_step_of_send_step(int step) {
    if (step < 1 || step >= kFullSendSteps) return 0;
    // Titles and schedule days are read in the order they are sent; the other settings by their names.
    const std::string name = full_send_step_name(step);
    for (int read = 1; read <= kReadBackSteps; ++read) {
        if (read_step_name(read_back_step(read)) == name) return read;
    }
    return 0;
}

std::vector<int> read_back_steps_for(const std::vector<FullSendItem>& items) {
    std::vector<int> steps;
    for (const FullSendItem& item : items) {
        if (const int read = read_back_step_of_send_step(item.step); read > 0) steps.push_back(read);
    }
    std::sort(steps.begin(), steps.end());
    steps.erase(std::unique(steps.begin(), steps.end()), steps.end());
    return steps;
}

}  // namespace tvx
