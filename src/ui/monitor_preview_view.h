#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "model/tool_state.h"
#include "preview/monitor_preview.h"

class QLabel;
class QToolButton;

namespace tvx {

// The monitor preview beside an editor's own preview: the page as the unit would superimpose it, redrawn
// whenever the editor changes a value (redraw), and animated while the page blinks or scrolls or the date
// line runs. It is the tool's model of the monitor, and says so ("目安"). The test picture behind the text
// is the colour bars or an image the operator chooses, kept in the INI file.
class MonitorPreviewView : public QWidget {
    Q_OBJECT
  public:
    explicit MonitorPreviewView(const ToolState& tool, QWidget* parent = nullptr,
                                QSize size = QSize(360, 270));

    // The page shown (default: the editors' current page) and the clock of the date line (default: this
    // computer's local time).
    void set_page_source(std::function<int()> page) { page_ = std::move(page); }
    void set_clock_source(std::function<PreviewClock()> clock) { clock_ = std::move(clock); }

    // Draws the picture again from the model, now.
    void redraw();
    // The picture as last drawn, and the animation's timer (tests).
    const QImage& image() const { return image_; }
    QTimer& animation_timer() { return animation_; }
    QToolButton* picture_button() const { return picture_button_; }

    // Uses the image file at path (empty: the colour bars) and keeps the choice; false for a file that
    // is no image, which changes nothing.
    bool use_picture(const QString& path);

    static PreviewClock local_clock();

  private:
    void load_picture();
    void choose_picture();

    const ToolState& tool_;
    QSize size_;
    std::function<int()> page_;
    std::function<PreviewClock()> clock_;
    QImage picture_;  // fitted to the picture's size; null for the colour bars
    QImage image_;
    QLabel* screen_ = nullptr;
    QToolButton* picture_button_ = nullptr;
    QTimer animation_;
    QElapsedTimer since_;
};

}  // namespace tvx
