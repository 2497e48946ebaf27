#pragma once

#include <QDialog>
#include <string>

#include "editors/glyph_insert_controller.h"

class QPushButton;

namespace tvx {

class ChoiceGroup;

// 外字挿入: a thin view over GlyphInsertController.
class GlyphInsertDialog : public QDialog {
    Q_OBJECT
  public:
    GlyphInsertDialog(ToolState& tool, CommandLink& link, GlyphEditorMemory& memory,
                      const std::string& selected_address, QWidget* owner);

    GlyphInsertController& controller() { return controller_; }
    ChoiceGroup* page_group() const { return page_; }
    ChoiceGroup* size_group() const { return size_; }
    ChoiceGroup* slave_group() const { return slave_; }
    ChoiceGroup* number_group() const { return number_; }
    ChoiceGroup* position_group() const { return position_; }
    QPushButton* set_button() const { return set_; }
    QPushButton* close_button() const { return close_; }

  private:
    void fill_ranges();

    GlyphInsertController controller_;
    ChoiceGroup* page_ = nullptr;
    ChoiceGroup* size_ = nullptr;
    ChoiceGroup* slave_ = nullptr;
    ChoiceGroup* number_ = nullptr;
    ChoiceGroup* position_ = nullptr;
    QPushButton* set_ = nullptr;
    QPushButton* close_ = nullptr;
};

}  // namespace tvx
