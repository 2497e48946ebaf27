#pragma once

#include <QFont>
#include <QGroupBox>
#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "editors/editor_frame.h"
#include "editors/per_page_preview.h"
#include "ui/shift_jis_text.h"

class QProgressBar;

class QComboBox;
class QPushButton;
class QWindow;

namespace tvx {

// Pieces the setting editors' dialogs share.

inline QString qt_text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A selector in a group box that carries its caption, with the setting's own "設定" button under it
// when button_text is given. The combo box reports only completed choices (activated), never
// programmatic changes.
class ChoiceGroup : public QGroupBox {
    Q_OBJECT
  public:
    ChoiceGroup(std::string_view caption, const std::vector<std::string>& items, QWidget* parent,
                std::string_view button_text = {});
    ChoiceGroup(std::string_view caption, std::span<const std::string_view> items, QWidget* parent,
                std::string_view button_text = {});

    QComboBox* combo() const { return combo_; }
    QPushButton* button() const { return button_; }
    // Shows selection without reporting it; -1 shows none.
    void show_selection(int selection);

  private:
    void build(std::string_view button_text);
    QComboBox* combo_ = nullptr;
    QPushButton* button_ = nullptr;
};

// The slave address selector: "00" to "31" and "Bloadcast", enabled and preselected only where the
// link can address a unit.
ChoiceGroup* make_slave_address_group(const SlaveSelector& state, QWidget* parent);

// A push button that never takes the Enter key for itself, so that Enter cannot send a command.
QPushButton* make_button(std::string_view text, QWidget* parent);

// The font of the text previews: a fixed-pitch Japanese font when there is one, so that the padded
// words cover what they are meant to cover.
QFont preview_font();

// Calls on_exposed whenever the platform asks for the dialog's window to be drawn again (shown,
// uncovered, restored): the moment a window system repaints a dialog. A child control that repaints
// itself, as a progress bar does, is not such a moment.
class ExposeWatcher : public QObject {
    Q_OBJECT
  public:
    ExposeWatcher(QWidget* dialog, std::function<void()> on_exposed);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* dialog_;
    QWindow* window_ = nullptr;
    std::function<void()> on_exposed_;
};

// A white frame that keeps what was drawn on it, as a window's device context keeps it until the
// next repaint: lines are drawn over the old ones, each on an opaque white background, nothing is
// cleared. Repainting the frame itself only shows what is there.
class PreviewFrame : public QWidget {
    Q_OBJECT
  public:
    PreviewFrame(QSize size, QWidget* parent);

    void draw(const std::vector<PreviewLine>& lines);
    const QImage& image() const { return image_; }
    int draw_count() const { return draws_; }
    QSize sizeHint() const override { return image_.size(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage image_;
    int draws_ = 0;
};

// A sequence's progress bar shows the pace it runs at ("標準" or "高速") from its start.
void show_pace(QProgressBar* bar, const ToolState& tool);

}  // namespace tvx
