#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "editors/other_options_editor.h"

class QPushButton;

namespace tvx {

class ChoiceGroup;

// "その他": connector input, power-on page and video loss background, each with its "設定".
class OtherOptionsDialog : public QDialog {
    Q_OBJECT
  public:
    using Option = OtherOptionsEditor::Option;

    OtherOptionsDialog(ToolState& tool, CommandLink& link, const std::string& selected_address,
                       QWidget* owner);

    ChoiceGroup* group(Option option) const { return groups_.at(static_cast<std::size_t>(option)); }
    ChoiceGroup* slave_group() const { return slave_; }
    QPushButton* close_button() const { return close_; }

  private:
    OtherOptionsEditor editor_;
    std::array<ChoiceGroup*, 3> groups_{};
    ChoiceGroup* slave_ = nullptr;
    QPushButton* close_ = nullptr;
};

}  // namespace tvx
