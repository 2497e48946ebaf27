#include "ui/glyph_list_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/qt_path.h"
#include "ui/file_dialog_layout.h"
#include "ui/fleet_dialog.h"
#include "ui/glyph_editor_dialog.h"
#include "ui/recent_folder.h"
#include "ui/setting_editor_widgets.h"
#include "ui/window_modal.h"

namespace tvx {
namespace {

constexpr int kCellSpacing = 114;
constexpr int kCellLeft = 12;
constexpr int kFirstRowTop = 10;
constexpr int kSecondRowTop = 157;
constexpr int kNumberTop = 4;  // below the cell
constexpr int kAreaHeight = kSecondRowTop + kGlyphCellSize + 34;

QStringList filters_of(std::string_view filter_text) {
    return {qt_text(filter_text), QStringLiteral("すべて(*.*)")};
}

}  // namespace

std::optional<std::filesystem::path> GlyphFileDialogs::run(QFileDialog& dialog, FileKind kind,
                                                 const QStringList& filters) {
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.front());
    widen_file_dialog(dialog);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
    remember_chosen_folder(config_, kind, chosen.front());
    return to_path(chosen.front());
}

bool GlyphFileDialogs::confirm_clear() {
    QApplication::beep();
    QMessageBox box(QMessageBox::Question, qt_text(kClearQuestionTitle), qt_text(kClearQuestion),
                    QMessageBox::Yes | QMessageBox::No, owner_);
    // Yes clears the edited glyphs: Enter keeps them.
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::filesystem::path> GlyphFileDialogs::ask_open_path(std::string_view filter_text, std::string_view) {
    QFileDialog dialog(owner_, QStringLiteral("ファイルのオープン"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    start_in_recent_folder(dialog, config_, FileKind::kBank);
    return run(dialog, FileKind::kBank, filters_of(filter_text));
}

std::optional<std::filesystem::path> GlyphFileDialogs::ask_save_path(std::string_view filter_text, std::string_view) {
    QFileDialog dialog(owner_, QStringLiteral("ファイルの保存"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    start_in_recent_folder(dialog, config_, FileKind::kBank);
    return run(dialog, FileKind::kBank, filters_of(filter_text));
}

std::optional<std::filesystem::path> GlyphFileDialogs::ask_bitmap_path(std::string_view title,
                                                             std::string_view default_name) {
    QFileDialog dialog(owner_, qt_text(title));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    // The folder first: the default name is chosen inside it.
    start_in_recent_folder(dialog, config_, FileKind::kBitmap);
    dialog.selectFile(qt_text(default_name));
    return run(dialog, FileKind::kBitmap, filters_of("データ(*.bmp)"));
}

bool GlyphFileDialogs::confirm_overwrite(const std::filesystem::path& path) {
    const QString name = QFileInfo(to_qstring(path)).fileName();
    QMessageBox box(QMessageBox::Warning, QStringLiteral("ファイルの保存"),
                    QStringLiteral("%1 は既に存在します。\n上書きしますか？").arg(name),
                    QMessageBox::Yes | QMessageBox::No, owner_);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

GlyphCellArea::GlyphCellArea(int columns, QWidget* parent) : QWidget(parent), columns_(columns) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFixedSize(kCellLeft + kCellSpacing * (columns - 1) + kGlyphCellSize + kCellLeft, kAreaHeight);
}

QRect GlyphCellArea::cell_rect(int cell, int columns) {
    const int column = cell % columns;
    const int row = cell / columns;
    return {kCellLeft + kCellSpacing * column, row == 0 ? kFirstRowTop : kSecondRowTop, kGlyphCellSize,
            kGlyphCellSize};
}

void GlyphCellArea::show_cells(std::vector<QImage> cells) {
    cells_ = std::move(cells);
    ++draws_;
    update();
}

void GlyphCellArea::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    for (int k = 0; k < 2 * columns_; ++k) {
        const QRect rect = cell_rect(k, columns_);
        // The frame lies outside the cell, so the cell's picture is what gets exported.
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(rect.adjusted(-1, -1, 0, 0));
        if (static_cast<std::size_t>(k) < cells_.size())
            painter.drawImage(rect.topLeft(), cells_[static_cast<std::size_t>(k)]);
    }
}

GlyphListDialog::GlyphListDialog(ToolState& tool, Notices& notices, CommandLink& link,
                                 GlyphListDialogs& dialogs, GlyphEditorMemory& memory, const GlyphSize& size,
                                 const std::string& selected_address, QWidget* owner)
    : QDialog(owner), tool_(tool), controller_(tool, notices, link, dialogs, memory, size) {
    setModal(true);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    const int redraw_ms = controller_.open();
    setWindowTitle(qt_text(controller_.window_title(selected_address)));

    const int columns = controller_.form().columns;
    cells_ = new GlyphCellArea(columns, this);
    for (int k = 0; k < controller_.cells_per_page(); ++k) {
        auto* number = new QLineEdit(cells_);
        number->setReadOnly(true);
        number->setFocusPolicy(Qt::NoFocus);
        const QRect rect = GlyphCellArea::cell_rect(k, columns);
        number->setGeometry(rect.left(), rect.bottom() + 1 + kNumberTop, kGlyphCellSize, 22);
        numbers_.push_back(number);
    }

    clear_ = make_button("バッファクリア", this);
    open_ = make_button("開く", this);
    save_ = make_button("保存", this);
    save_as_ = make_button("名前をつけて保存", this);
    read_ = make_button("リード", this);
    register_ = make_button("登録", this);
    close_ = make_button("Close", this);
    slave_ = make_slave_address_group(controller_.slave_address(), this);
    group_ = new ChoiceGroup("番号切り替え", controller_.group_items(), this);
    group_->setObjectName(QStringLiteral("group"));
    group_->show_selection(controller_.group());
    progress_ = new QProgressBar(this);
    progress_->setRange(0, controller_.progress_maximum());
    progress_->setValue(0);
    progress_->setTextVisible(false);
    percent_ = new QLineEdit(this);
    percent_->setReadOnly(true);
    percent_->setFocusPolicy(Qt::NoFocus);
    percent_->setFixedWidth(percent_->fontMetrics().horizontalAdvance(QStringLiteral("100.0")) + 16);

    auto* buttons = new QGridLayout;
    const std::array<QPushButton*, 6> six{clear_, open_, save_, save_as_, read_, register_};
    for (std::size_t i = 0; i < six.size(); ++i)
        buttons->addWidget(six[i], static_cast<int>(i / 3), static_cast<int>(i % 3));

    auto* progress_row = new QHBoxLayout;
    progress_row->addWidget(progress_, 1);
    progress_row->addWidget(percent_);
    progress_row->addWidget(new QLabel(QStringLiteral("％"), this));

    job_ = new SequenceJobView(controller_.sequence_caption(true), notices, this);
    connect(job_, &SequenceJobView::stop_requested, this, &GlyphListDialog::stop_sequence);

    auto* right = new QVBoxLayout;
    right->addLayout(progress_row);
    right->addWidget(job_);
    right->addStretch();
    right->addWidget(close_, 0, Qt::AlignRight);

    auto* controls = new QHBoxLayout;
    controls->setContentsMargins(kCellLeft, 0, kCellLeft, 0);
    controls->addLayout(buttons);
    controls->addWidget(slave_, 0, Qt::AlignTop);
    controls->addWidget(group_, 0, Qt::AlignTop);
    controls->addLayout(right, 1);

    // The cells keep their place at the top-left of the client area, where the hit test expects them.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, kCellLeft);
    layout->setSpacing(6);
    layout->addWidget(cells_, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addLayout(controls);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(group_->combo(), &QComboBox::activated, this, [this](int index) {
        controller_.select_group(index);
        draw_thumbnails();
    });
    connect(slave_->combo(), &QComboBox::activated, this,
            [this](int index) { controller_.select_slave_address(index); });
    connect(clear_, &QPushButton::clicked, this, [this] {
        if (controller_.clear_bank()) draw_thumbnails();
    });
    connect(open_, &QPushButton::clicked, this, [this] {
        if (controller_.open_file()) draw_thumbnails();
    });
    connect(save_, &QPushButton::clicked, this, [this] { controller_.save(); });
    connect(save_as_, &QPushButton::clicked, this, [this] { controller_.save_as(); });
    connect(read_, &QPushButton::clicked, this, [this] { start_sequence(controller_.read_all(), true); });
    connect(register_, &QPushButton::clicked, this, [this, &tool, &notices, &size] {
        FleetController::Request request{FleetController::Command::kGlyphRegister, "外字 登録"};
        request.glyph_size = &size;
        if (run_on_chosen_units(this, tool, notices, std::move(request))) return;
        start_sequence(controller_.register_all(), false);
    });
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);

    open_editor = [this, &tool, &notices, &link, &dialogs, &memory, &size, selected_address] {
        GlyphEditorDialog editor(tool, notices, link, dialogs, memory, size, selected_address, this);
        exec_window_modal(editor);
    };

    connect(&redraw_timer_, &QTimer::timeout, this, &GlyphListDialog::redraw_tick);
    connect(&sequence_timer_, &QTimer::timeout, this, &GlyphListDialog::sequence_tick);
    new ExposeWatcher(this, [this] { redraw_timer_.start(controller_.redraw().repainted()); });
    redraw_timer_.start(redraw_ms);
}

void GlyphListDialog::done(int result) {
    sequence_timer_.stop();
    redraw_timer_.stop();
    controller_.close();
    QDialog::done(result);
}

void GlyphListDialog::redraw_tick() {
    if (controller_.redraw().tick()) draw_thumbnails();
    redraw_timer_.stop();
}

void GlyphListDialog::sequence_tick() {
    if (!controller_.sequence_tick()) {
        sequence_timer_.stop();
        draw_thumbnails();
    }
    show_progress();
}

void GlyphListDialog::start_sequence(bool started, bool reading) {
    if (!started) return;
    show_pace(progress_, tool_);
    job_->set_caption(controller_.sequence_caption(reading));
    job_->started(*controller_.sequence(), controller_.sequence_interval_ms(), controller_.fast());
    show_progress();
    sequence_timer_.start(controller_.sequence_interval_ms());
}

void GlyphListDialog::stop_sequence() {
    // Taken at once rather than up to two seconds away: a tick with a stop asked for sends nothing.
    if (controller_.stop_sequence()) sequence_tick();
}

void GlyphListDialog::show_progress() {
    progress_->setValue(controller_.progress_value());
    percent_->setText(qt_text(controller_.percent_text()));
    if (const PacedSequence* sequence = controller_.sequence()) job_->show_state(*sequence);
}

RgbColour GlyphListDialog::background() const {
    const QColor colour = palette().color(QPalette::Window);
    return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
            static_cast<std::uint8_t>(colour.blue())};
}

void GlyphListDialog::draw_thumbnails() {
    std::vector<QImage> images;
    const RgbColour fill = background();
    for (int k = 0; k < controller_.cells_per_page(); ++k) {
        images.push_back(to_qimage(controller_.cell_image(k, fill)));
        numbers_[static_cast<std::size_t>(k)]->setText(qt_text(controller_.cell_label(k)));
    }
    cells_->show_cells(std::move(images));
}

void GlyphListDialog::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (controller_.left_double_click(at.x(), at.y()) && open_editor) {
            open_editor();
            // The list shows what the editor did.
            draw_thumbnails();
        }
    } else if (event->button() == Qt::RightButton) {
        controller_.right_double_click(at.x(), at.y(), background());
    }
    event->accept();
}

}  // namespace tvx
