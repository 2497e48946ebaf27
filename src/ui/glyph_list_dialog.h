#pragma once

#include <QDialog>
#include <QImage>
#include <QStringList>
#include <QTimer>
#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "config/recent_folders.h"
#include "editors/glyph_list_controller.h"
#include "ui/sequence_job_view.h"

class QFileDialog;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace tvx {

class ChoiceGroup;

// The glyph lists' file dialogs and questions as the desktop tool shows them.
class GlyphFileDialogs : public GlyphListDialogs {
  public:
    // The dialogs start in the folder last used for bank files, or for bitmaps.
    GlyphFileDialogs(QWidget* owner, Configuration& config) : owner_(owner), config_(config) {}

    bool confirm_clear() override;
    std::optional<std::filesystem::path> ask_open_path(std::string_view filter_text, std::string_view pattern) override;
    std::optional<std::filesystem::path> ask_save_path(std::string_view filter_text, std::string_view pattern) override;
    std::optional<std::filesystem::path> ask_bitmap_path(std::string_view title,
                                               std::string_view default_name) override;
    bool confirm_overwrite(const std::filesystem::path& path) override;

  private:
    std::optional<std::filesystem::path> run(QFileDialog& dialog, FileKind kind, const QStringList& filters);

    QWidget* owner_;
    Configuration& config_;
};

// The two rows of thumbnail cells, each a frame around the cell's picture, at the client pixels the
// double-click hit test uses. Mouse events pass through to the dialog.
class GlyphCellArea : public QWidget {
    Q_OBJECT
  public:
    GlyphCellArea(int columns, QWidget* parent);
    void show_cells(std::vector<QImage> cells);
    const std::vector<QImage>& cells() const { return cells_; }
    int draw_count() const { return draws_; }
    static QRect cell_rect(int cell, int columns);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int columns_;
    std::vector<QImage> cells_;
    int draws_ = 0;
};

// 外字一覧: a thin view over GlyphListController. A left double click on a cell opens the glyph editor
// of the size, a right one exports the cell as a bitmap.
class GlyphListDialog : public QDialog {
    Q_OBJECT
  public:
    GlyphListDialog(ToolState& tool, Notices& notices, CommandLink& link, GlyphListDialogs& dialogs,
                    GlyphEditorMemory& memory, const GlyphSize& size, const std::string& selected_address,
                    QWidget* owner);

    void done(int result) override;

    GlyphListController& controller() { return controller_; }
    GlyphCellArea* cell_area() const { return cells_; }
    QLineEdit* number_field(int cell) const { return numbers_.at(static_cast<std::size_t>(cell)); }
    ChoiceGroup* group_selector() const { return group_; }
    ChoiceGroup* slave_group() const { return slave_; }
    QPushButton* clear_button() const { return clear_; }
    QPushButton* open_button() const { return open_; }
    QPushButton* save_button() const { return save_; }
    QPushButton* save_as_button() const { return save_as_; }
    QPushButton* read_button() const { return read_; }
    QPushButton* register_button() const { return register_; }
    QPushButton* close_button() const { return close_; }
    QProgressBar* progress_bar() const { return progress_; }
    QLineEdit* percent_field() const { return percent_; }
    SequenceJobView* job_view() const { return job_; }
    QTimer& redraw_timer() { return redraw_timer_; }
    QTimer& sequence_timer() { return sequence_timer_; }
    void redraw_tick();
    void sequence_tick();
    // 中止 of a read-all or register-all.
    void stop_sequence();

    // Opens the glyph editor of the size on current_slot; the desktop tool shows it modally. Tests may
    // replace it to drive the editor themselves.
    std::function<void()> open_editor;

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    const ToolState& tool_;
    void draw_thumbnails();
    void start_sequence(bool started, bool reading);
    void show_progress();
    RgbColour background() const;

    GlyphListController controller_;
    GlyphCellArea* cells_ = nullptr;
    std::vector<QLineEdit*> numbers_;
    ChoiceGroup* group_ = nullptr;
    ChoiceGroup* slave_ = nullptr;
    QPushButton* clear_ = nullptr;
    QPushButton* open_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* save_as_ = nullptr;
    QPushButton* read_ = nullptr;
    QPushButton* register_ = nullptr;
    QPushButton* close_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLineEdit* percent_ = nullptr;
    SequenceJobView* job_ = nullptr;
    QTimer redraw_timer_;
    QTimer sequence_timer_;
};

}  // namespace tvx
