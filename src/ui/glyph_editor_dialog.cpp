#include "ui/glyph_editor_dialog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/setting_editor_widgets.h"

namespace tvx {

QImage to_qimage(const RgbImage& image) {
    QImage out(image.width, image.height, QImage::Format_RGB888);
    for (int y = 0; y < image.height; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) * 3;
        std::copy_n(image.pixels.data() + row, static_cast<std::size_t>(image.width) * 3, out.scanLine(y));
    }
    return out;
}

GlyphGridView::GlyphGridView(QWidget* parent) : QWidget(parent) {
    setFixedSize(kGlyphGridWidth, kGlyphGridHeight);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    image_ = QImage(kGlyphGridWidth, kGlyphGridHeight, QImage::Format_RGB888);
    image_.fill(Qt::black);
}

void GlyphGridView::show_image(const RgbImage& image) {
    image_ = to_qimage(image);
    ++draws_;
    update();
}

void GlyphGridView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

GlyphEditorDialog::GlyphEditorDialog(ToolState& tool, Notices& notices, CommandLink& link,
                                     GlyphQuestions& questions, GlyphEditorMemory& memory,
                                     const GlyphSize& size, const std::string& selected_address,
                                     QWidget* owner)
    : QDialog(owner), controller_(tool, notices, link, questions, memory, size), notices_(notices) {
    setModal(true);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    const int redraw_ms = controller_.open_editor();
    setWindowTitle(qt_text(controller_.window_title(selected_address)));

    grid_ = new GlyphGridView(this);
    clear_ = make_button("バッファクリア", this);
    other_sizes_ = make_button("他のサイズ作成", this);

    number_ = new ChoiceGroup("登録番号", controller_.number_items(), this);
    number_->setObjectName(QStringLiteral("number"));
    read_ = make_button("リード", number_);
    register_ = make_button("登録", number_);
    auto* number_buttons = new QHBoxLayout;
    number_buttons->addWidget(read_);
    number_buttons->addWidget(register_);
    static_cast<QVBoxLayout*>(number_->layout())->addLayout(number_buttons);

    slave_ = make_slave_address_group(controller_.slave_address(), this);

    auto* sample_box = new QGroupBox(QStringLiteral("サンプル"), this);
    sample_ = new QLineEdit(sample_box);
    sample_->setObjectName(QStringLiteral("sample"));
    sample_->setFixedWidth(sample_->fontMetrics().horizontalAdvance(QStringLiteral("亜亜")) + 16);
    sample_->setText(from_shift_jis(memory.sample_text));
    sample_text_ = sample_->text();
    sample_read_ = make_button("リード", sample_box);
    auto* sample_layout = new QHBoxLayout(sample_box);
    sample_layout->addWidget(sample_);
    sample_layout->addWidget(sample_read_);

    close_ = make_button("Close", this);

    auto* edit_box = new QGroupBox(QStringLiteral("編集"), this);
    build_edit_keys(edit_box);

    auto* side = new QVBoxLayout;
    side->addWidget(clear_);
    side->addWidget(other_sizes_);
    side->addWidget(edit_box);
    side->addWidget(number_);
    side->addWidget(slave_);
    side->addWidget(sample_box);
    side->addStretch();
    side->addWidget(close_);

    // The grid's top-left corner sits at (12, 12) of the client area.
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(kGlyphGridOrigin, kGlyphGridOrigin, kGlyphGridOrigin, kGlyphGridOrigin);
    layout->setSpacing(14);
    layout->addWidget(grid_, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addLayout(side);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setCursor(Qt::ArrowCursor);

    number_->show_selection(controller_.number_selection());
    connect(number_->combo(), &QComboBox::activated, this, [this](int index) {
        controller_.select_number(index);
        show_edit_state();
    });
    connect(slave_->combo(), &QComboBox::activated, this,
            [this](int index) { controller_.select_slave_address(index); });
    connect(sample_, &QLineEdit::textChanged, this, &GlyphEditorDialog::sample_edited);
    connect(clear_, &QPushButton::clicked, this, [this] {
        if (controller_.clear_buffer()) draw_grid();
        show_edit_state();
    });
    connect(other_sizes_, &QPushButton::clicked, this, [this] { controller_.create_other_sizes(); });
    connect(register_, &QPushButton::clicked, this, [this] { controller_.register_glyph(); });
    connect(read_, &QPushButton::clicked, this, [this] { controller_.read_number(); });
    connect(sample_read_, &QPushButton::clicked, this, [this] { controller_.read_sample(); });
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);

    // A glyph read back from the unit is drawn as soon as it is stored.
    controller_.set_redraw_handler([this] {
        draw_grid();
        show_edit_state();
    });
    redraw_timer_.setSingleShot(false);
    connect(&redraw_timer_, &QTimer::timeout, this, &GlyphEditorDialog::redraw_tick);
    new ExposeWatcher(this, [this] { redraw_timer_.start(controller_.redraw().repainted()); });
    redraw_timer_.start(redraw_ms);
}

void GlyphEditorDialog::build_edit_keys(QWidget* group) {
    undo_ = make_button("元に戻す", group);
    redo_ = make_button("やり直し", group);
    copy_ = make_button("コピー", group);
    paste_ = make_button("貼り付け", group);
    auto* keys = new QGridLayout(group);
    keys->addWidget(undo_, 0, 0);
    keys->addWidget(redo_, 0, 1);
    keys->addWidget(copy_, 1, 0);
    keys->addWidget(paste_, 1, 1);

    // The keys work anywhere in the editor except in the sample field, which keeps them for its text.
    const auto key = [this](QPushButton* button, QList<QKeySequence> sequences, auto handler) {
        auto* action = new QAction(this);
        action->setShortcuts(sequences);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
        connect(action, &QAction::triggered, this, handler);
        connect(button, &QPushButton::clicked, this, handler);
        button->setToolTip(sequences.front().toString(QKeySequence::NativeText));
    };
    QList<QKeySequence> redo_keys{QKeySequence(Qt::CTRL | Qt::Key_Y)};
    for (const QKeySequence& other : QKeySequence::keyBindings(QKeySequence::Redo)) {
        if (!redo_keys.contains(other)) redo_keys.append(other);
    }
    key(undo_, {QKeySequence(Qt::CTRL | Qt::Key_Z)}, [this] {
        if (controller_.undo()) show_edit();
    });
    key(redo_, redo_keys, [this] {
        if (controller_.redo()) show_edit();
    });
    key(copy_, {QKeySequence(Qt::CTRL | Qt::Key_C)}, [this] {
        controller_.copy_glyph();
        show_edit_state();
    });
    key(paste_, {QKeySequence(Qt::CTRL | Qt::Key_V)}, [this] {
        if (controller_.paste_glyph() == GlyphEditorController::Paste::kPasted) show_edit();
    });
    show_edit_state();
}

void GlyphEditorDialog::show_edit() {
    number_->show_selection(controller_.number_selection());
    draw_grid();
    show_edit_state();
}

void GlyphEditorDialog::show_edit_state() {
    undo_->setEnabled(controller_.can_undo());
    redo_->setEnabled(controller_.can_redo());
    paste_->setEnabled(controller_.glyph_copied());
}

void GlyphEditorDialog::done(int result) {
    redraw_timer_.stop();
    controller_.close();
    QDialog::done(result);
}

void GlyphEditorDialog::redraw_tick() {
    if (controller_.redraw().tick()) draw_grid();
    redraw_timer_.stop();
}

void GlyphEditorDialog::draw_grid() {
    grid_->show_image(controller_.grid_image());
}

void GlyphEditorDialog::sample_edited(const QString& text) {
    if (text == sample_text_) return;
    // The field holds at most two Shift JIS bytes (one double-byte character); of a paste, the first
    // character that fits is taken; a character outside code page 932 is not.
    constexpr std::size_t kSampleBytes = 2;
    const FieldChange change = fit_field_change(field_chars(sample_text_), text, kSampleBytes);
    if (!change.refused && change.changed) {
        sample_text_ = shown_text(change.chars);
        controller_.sample_changed(stored_bytes(change.chars));
    }
    if (sample_->text() != sample_text_) sample_->setText(sample_text_);
    if (change.inserted > 1 && change.left_out > 0 && !change.refused) {
        notify_left_out(notices_, change.left_out);
    } else if (change.refused || change.left_out > 0) {
        QApplication::beep();
    }
}

void GlyphEditorDialog::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
        const auto button = event->button() == Qt::LeftButton ? GlyphEditorController::Button::kLeft
                                                              : GlyphEditorController::Button::kRight;
        if (controller_.mouse_down(button, at.x(), at.y())) draw_grid();
    }
    show_edit_state();
    event->accept();
}

void GlyphEditorDialog::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void GlyphEditorDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) controller_.mouse_up(GlyphEditorController::Button::kLeft);
    if (event->button() == Qt::RightButton) controller_.mouse_up(GlyphEditorController::Button::kRight);
    show_edit_state();
    event->accept();
}

void GlyphEditorDialog::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (controller_.mouse_move(at.x(), at.y())) draw_grid();
    event->accept();
}

}  // namespace tvx
