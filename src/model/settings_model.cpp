#include "model/settings_model.h"

#include "model/settings_document.h"

namespace tvx {

SettingsModel::SettingsModel() { reset_settings(*this); }

void reset_settings(SettingsModel& model) {
    const int slave_address = model.run.slave_address;
    model.run = RunState{};
    model.run.slave_address = slave_address;
    model.date_display = 0;
    model.date_display_range = 0;
    model.date_display_size = 0;

    for (PageSettings& page : model.pages) page = PageSettings{};
    model.memory = EditorMemory{};

    for (auto& day : model.schedule) {
        for (int entry = 0; entry < kScheduleEntries; ++entry) {
            day[entry] = ScheduleEntry{entry, 0, kScheduleOffPage};
        }
    }

    model.alarm_mode = 0;
    model.alarm_hold_time = "010";
    model.alarm_polarity = 0;
    model.alarm_display = 1;
    model.alarm_return = 1;
    for (int n = 0; n < kConnectorCount; ++n) model.connector_pages[n] = n;
    model.remote_mode = 0;
    model.connector_input = 0;
    model.power_on_page = 0;
    model.video_loss_background = 0;

    model.network = NetworkSettings{};
    mark_document_saved(model);
}

}  // namespace tvx
