#pragma once

#include <vector>

#include "model/settings_model.h"
#include "protocol/full_send_sequence.h"

namespace tvx {

// Making a unit hold a source without sending it whole: the source and the unit's settings as read are
// compared by the lines the full send would send for them, so that a setting counts as changed exactly
// when the unit would be sent another line for it ("5" and "005" as a hold time are the same).

// The full send's items whose lines differ, in table order. A per-page setting that differs on one page
// goes in its single-page form; on several pages in the all-pages form, which carries them all.
std::vector<FullSendItem> differing_send_items(const SettingsModel& source, const SettingsModel& unit);

// The read-back step (1..119) that reads back what step 1..117 of the full send sends; 0 for none.
int read_back_step_of_send_step(int step);

// The read-back steps that read back what the items sent, in read-back order, each once.
std::vector<int> read_back_steps_for(const std::vector<FullSendItem>& items);

}  // namespace tvx
