#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "editors/date_time_editor.h"

class QPushButton;

namespace tvx {

class ChoiceGroup;
class MonitorPreviewView;

// "日付＆時刻の設定": nine settings in a grid of three columns, each with its "設定", then the
// 30-second correction, the slave address selector and Close.
class DateTimeDialog : public QDialog {
    Q_OBJECT
  public:
    using ClockField = DateTimeEditor::ClockField;
    using LineOption = DateTimeEditor::LineOption;

    DateTimeDialog(ToolState& tool, CommandLink& link, const LocalDateTime& now,
                   const std::string& selected_address, QWidget* owner);

    // The computer's local date and time now.
    static LocalDateTime local_now();

    ChoiceGroup* clock_group(ClockField field) const { return clock_.at(static_cast<std::size_t>(field)); }
    ChoiceGroup* option_group(LineOption option) const {
        return options_.at(static_cast<std::size_t>(option));
    }
    QPushButton* correction_button() const { return correction_; }
    ChoiceGroup* slave_group() const { return slave_; }
    QPushButton* close_button() const { return close_; }
    MonitorPreviewView* monitor() const { return monitor_; }

  private:
    DateTimeEditor editor_;
    std::array<ChoiceGroup*, 6> clock_{};
    std::array<ChoiceGroup*, 3> options_{};
    QPushButton* correction_ = nullptr;
    ChoiceGroup* slave_ = nullptr;
    QPushButton* close_ = nullptr;
    MonitorPreviewView* monitor_ = nullptr;
};

}  // namespace tvx
