#pragma once

#include <QDialog>
#include <QTimer>
#include <array>
#include <string>

#include "editors/per_page_editor.h"

class QPushButton;

namespace tvx {

class ChoiceGroup;
class MonitorPreviewView;
class PreviewFrame;

// The one dialog of the per-page family; what it shows comes from the member's row of the family table.
class PerPageDialog : public QDialog {
    Q_OBJECT
  public:
    PerPageDialog(ToolState& tool, CommandLink& link, const PerPageEditorForm& form,
                  const std::string& selected_address, QWidget* owner);

    PerPageEditor& editor() { return editor_; }
    PreviewFrame* preview() const { return preview_; }
    MonitorPreviewView* monitor() const { return monitor_; }
    ChoiceGroup* page_group() const { return page_; }
    ChoiceGroup* value_group(int value) const { return values_.at(static_cast<std::size_t>(value)); }
    ChoiceGroup* all_pages_group(int value) const { return all_pages_.at(static_cast<std::size_t>(value)); }
    ChoiceGroup* slave_group() const { return slave_; }
    QPushButton* page_button() const { return page_button_; }
    QPushButton* all_button() const { return all_button_; }
    QPushButton* close_button() const { return close_button_; }
    QTimer& preview_timer() { return preview_timer_; }
    // One tick of the preview timer, as the timer runs it.
    void preview_tick();

  private:
    void show_values();
    void draw_preview();

    PerPageEditor editor_;
    PreviewFrame* preview_ = nullptr;
    MonitorPreviewView* monitor_ = nullptr;
    ChoiceGroup* page_ = nullptr;
    std::array<ChoiceGroup*, 2> values_{};
    std::array<ChoiceGroup*, 2> all_pages_{};
    ChoiceGroup* slave_ = nullptr;
    QPushButton* page_button_ = nullptr;
    QPushButton* all_button_ = nullptr;
    QPushButton* close_button_ = nullptr;
    QTimer preview_timer_;
};

}  // namespace tvx
