#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>
#include <optional>
#include <string>
#include <string_view>

#include "editors/title_editor_controller.h"
#include "ui/sequence_job_view.h"
#include "ui/title_field_text.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace tvx {

// The title editor "タイトルの設定". The field shows Unicode; the model keeps Shift JIS bytes, glyph cells
// among them (see title_field_text.h). A character code page 932 lacks is refused and the field keeps
// its text; of a change longer than the 448 bytes that fit, the whole characters that fit are kept and
// a paste or conversion says how many were left out (shift_jis_text.h).
class InputMethodSwitch;
class MonitorPreviewView;

class TitleEditorDialog : public QDialog {
    Q_OBJECT
  public:
    TitleEditorDialog(ToolState& tool, CommandLink& link, Notices& notices,
                      const std::string& selected_address, QWidget* owner);
    ~TitleEditorDialog() override;

    // Shift JIS title bytes as the field shows them (a line break cell as a new line, a glyph cell as a
    // private-use character), and back. No bytes for a text with a character that code page 932 cannot
    // hold.
    static QString field_text(std::string_view title);
    static std::optional<std::string> title_bytes(const QString& text);

    TitleEditorController& controller() { return controller_; }
    QComboBox* page_selector() const { return page_; }
    QComboBox* slave_selector() const { return slave_; }
    QPlainTextEdit* title_field() const { return field_; }
    QProgressBar* progress_bar() const { return progress_; }
    QLineEdit* percentage_field() const { return percentage_; }
    QPushButton* page_send_button() const { return page_send_; }
    QPushButton* all_send_button() const { return all_send_; }
    QPushButton* close_button() const { return close_; }
    InputMethodSwitch* input_method() const { return input_method_; }
    SequenceJobView* job_view() const { return job_; }
    MonitorPreviewView* monitor() const { return monitor_; }
    const QTimer& timer() const { return timer_; }

    // One tick of the all-pages send, as the timer fires, and 中止.
    void tick();
    void stop();

    // Close, Esc and the close box: refused while the all-pages send runs.
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    const ToolState& tool_;
    void show_title();
    void set_field(const QString& text, int cursor);
    void field_changed();
    void start_send_all();
    void show_progress();

    TitleEditorController controller_;
    Notices& notices_;
    QComboBox* page_ = nullptr;
    QComboBox* slave_ = nullptr;
    QPlainTextEdit* field_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLineEdit* percentage_ = nullptr;
    QPushButton* page_send_ = nullptr;
    QPushButton* all_send_ = nullptr;
    QPushButton* close_ = nullptr;
    SequenceJobView* job_ = nullptr;
    MonitorPreviewView* monitor_ = nullptr;
    QTimer timer_;
    TitleFieldChars accepted_;  // the field's characters as last taken into the model
    bool showing_ = false;      // the field is being set from the model, not by the operator
    bool input_panel_was_visible_ = false;
    InputMethodSwitch* input_method_ = nullptr;  // on while the field has the focus
};

}  // namespace tvx
