#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "editors/display_page_editor.h"

class QPushButton;

namespace tvx {

class ChoiceGroup;

// "表示ページ": the page to display and the display switch, each with its "設定".
class DisplayPageDialog : public QDialog {
    Q_OBJECT
  public:
    using Setting = DisplayPageEditor::Setting;

    DisplayPageDialog(ToolState& tool, CommandLink& link, DisplayPageChoice& choice,
                      const std::string& selected_address, QWidget* owner);

    ChoiceGroup* group(Setting setting) const { return groups_.at(static_cast<std::size_t>(setting)); }
    ChoiceGroup* slave_group() const { return slave_; }
    QPushButton* close_button() const { return close_; }

  private:
    DisplayPageEditor editor_;
    std::array<ChoiceGroup*, 2> groups_{};
    ChoiceGroup* slave_ = nullptr;
    QPushButton* close_ = nullptr;
};

}  // namespace tvx
