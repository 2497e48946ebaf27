#pragma once

#include <QDialog>
#include <QImage>
#include <QTimer>
#include <string>

#include "editors/glyph_editor_controller.h"

class QLineEdit;
class QPushButton;

namespace tvx {

class ChoiceGroup;

// The grid of the glyph editor: shows the picture it was last given. Mouse events pass through to the
// dialog, whose client coordinates the pointer rules use.
class GlyphGridView : public QWidget {
    Q_OBJECT
  public:
    explicit GlyphGridView(QWidget* parent);
    void show_image(const RgbImage& image);
    const QImage& image() const { return image_; }
    int draw_count() const { return draws_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage image_;
    int draws_ = 0;
};

// 外字登録: a thin view over GlyphEditorController, opened modally from a glyph list.
class GlyphEditorDialog : public QDialog {
    Q_OBJECT
  public:
    GlyphEditorDialog(ToolState& tool, Notices& notices, CommandLink& link, GlyphQuestions& questions,
                      GlyphEditorMemory& memory, const GlyphSize& size, const std::string& selected_address,
                      QWidget* owner);

    void done(int result) override;

    GlyphEditorController& controller() { return controller_; }
    GlyphGridView* grid() const { return grid_; }
    ChoiceGroup* number_group() const { return number_; }
    ChoiceGroup* slave_group() const { return slave_; }
    QLineEdit* sample_field() const { return sample_; }
    QPushButton* clear_button() const { return clear_; }
    QPushButton* other_sizes_button() const { return other_sizes_; }
    QPushButton* read_button() const { return read_; }
    QPushButton* register_button() const { return register_; }
    QPushButton* sample_read_button() const { return sample_read_; }
    QPushButton* close_button() const { return close_; }
    QPushButton* undo_button() const { return undo_; }
    QPushButton* redo_button() const { return redo_; }
    QPushButton* copy_button() const { return copy_; }
    QPushButton* paste_button() const { return paste_; }
    QTimer& redraw_timer() { return redraw_timer_; }
    // One tick of the redraw timer, as the timer runs it.
    void redraw_tick();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void draw_grid();
    void sample_edited(const QString& text);
    void build_edit_keys(QWidget* group);
    // After undo, redo or paste: the grid, the number (undo may go back to another one) and the buttons.
    void show_edit();
    void show_edit_state();

    GlyphEditorController controller_;
    Notices& notices_;
    GlyphGridView* grid_ = nullptr;
    ChoiceGroup* number_ = nullptr;
    ChoiceGroup* slave_ = nullptr;
    QLineEdit* sample_ = nullptr;
    QPushButton* clear_ = nullptr;
    QPushButton* other_sizes_ = nullptr;
    QPushButton* read_ = nullptr;
    QPushButton* register_ = nullptr;
    QPushButton* sample_read_ = nullptr;
    QPushButton* close_ = nullptr;
    QPushButton* undo_ = nullptr;
    QPushButton* redo_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* paste_ = nullptr;
    QTimer redraw_timer_;
    QString sample_text_;
};

// The picture of the core as a Qt image.
QImage to_qimage(const RgbImage& image);

}  // namespace tvx
