#include "ui/title_editor_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QInputMethod>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSyntaxHighlighter>
#include <QTextCursor>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>

#include "protocol/title_encoding.h"
#include "ui/fleet_dialog.h"
#include "ui/input_method_switch.h"
#include "ui/monitor_preview_view.h"
#include "ui/setting_editor_widgets.h"
#include "ui/shift_jis_text.h"
#include "ui/title_field_text.h"

namespace tvx {

namespace {

// Glyph cells and bytes that are no character stand out from the text around them.
class TitleCellMarks : public QSyntaxHighlighter {
  public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

  protected:
    void highlightBlock(const QString& text) override {
        QTextCharFormat glyph;
        glyph.setBackground(QColor(0xC8, 0xDC, 0xFF));
        glyph.setForeground(QColor(0x10, 0x30, 0x90));
        QTextCharFormat raw;
        raw.setBackground(QColor(0xFF, 0xC8, 0xC8));
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (is_glyph_char(text[i])) setFormat(static_cast<int>(i), 1, glyph);
            if (is_raw_byte_char(text[i])) setFormat(static_cast<int>(i), 1, raw);
        }
    }
};

// The title field: a glyph cell or a stray byte names itself under the mouse.
class TitleField : public QPlainTextEdit {
  public:
    using QPlainTextEdit::QPlainTextEdit;

  protected:
    bool event(QEvent* event) override {
        if (event->type() != QEvent::ToolTip) return QPlainTextEdit::event(event);
        const auto* help = static_cast<QHelpEvent*>(event);
        const QPoint at = viewport()->mapFrom(this, help->pos());
        QTextCursor cursor = cursorForPosition(at);
        // The character under the mouse is the one on the side of the cursor the mouse is on.
        if (cursorRect(cursor).center().x() > at.x()) cursor.movePosition(QTextCursor::PreviousCharacter);
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        const QString under = cursor.selectedText();
        const QString note = under.size() == 1 ? field_char_note(under[0]) : QString();
        if (note.isEmpty()) {
            QToolTip::hideText();
        } else {
            QToolTip::showText(help->globalPos(), note, this);
        }
        return true;
    }
};

}  // namespace

QString TitleEditorDialog::field_text(std::string_view title) {
    return shown_text(title_field_chars(title));
}

std::optional<std::string> TitleEditorDialog::title_bytes(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    std::string bytes;
    for (QChar c : lines) {
        const std::optional<std::string> one = typed_char_bytes(c);
        if (!one) return std::nullopt;
        bytes += *one;
    }
    return bytes;
}

TitleEditorDialog::TitleEditorDialog(ToolState& tool, CommandLink& link, Notices& notices,
                                     const std::string& selected_address, QWidget* owner)
    : QDialog(owner), tool_(tool), controller_(tool, link, notices), notices_(notices) {
    setModal(true);
    controller_.open();
    setWindowTitle(qt_text(controller_.window_title(selected_address)));

    auto* page_group = new ChoiceGroup("ページ", TitleEditorController::page_items(), this);
    page_group->setObjectName(QStringLiteral("page"));
    page_ = page_group->combo();
    page_group->show_selection(controller_.current_page());
    connect(page_, &QComboBox::activated, this, [this](int index) {
        controller_.select_page(index);
        show_title();
    });

    auto* slave_group = make_slave_address_group(controller_.slave_selector(), this);
    slave_ = slave_group->combo();
    connect(slave_, &QComboBox::activated, this,
            [this](int index) { controller_.select_slave_address(index); });

    auto* title_group = new QGroupBox(QStringLiteral("タイトル"), this);
    auto* title_layout = new QVBoxLayout(title_group);
    field_ = new TitleField(title_group);
    field_->setObjectName(QStringLiteral("title"));
    field_->setTabChangesFocus(true);  // a tab would be a half-width character
    // Titles are Japanese, typed through the input method.
    field_->setAttribute(Qt::WA_InputMethodEnabled, true);
    field_->setInputMethodHints(Qt::ImhMultiLine);
    field_->setFont(preview_font());
    field_->setMinimumSize(field_->fontMetrics().horizontalAdvance(QString(28, QChar(0x3000))) + 24,
                           field_->fontMetrics().lineSpacing() * 8 + 12);
    title_layout->addWidget(field_);
    new TitleCellMarks(field_->document());
    input_method_ = new InputMethodSwitch(field_);
    connect(field_, &QPlainTextEdit::textChanged, this, &TitleEditorDialog::field_changed);

    progress_ = new QProgressBar(this);
    progress_->setRange(0, kTitleSendSteps);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    percentage_ = new QLineEdit(this);
    percentage_->setReadOnly(true);
    percentage_->setFocusPolicy(Qt::NoFocus);
    percentage_->setFixedWidth(percentage_->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    percentage_->setAlignment(Qt::AlignRight);

    page_send_ = make_button("ページ設定", this);
    all_send_ = make_button("全設定", this);
    close_ = make_button("Close", this);
    connect(page_send_, &QPushButton::clicked, this, [this] { controller_.send_page(); });
    connect(all_send_, &QPushButton::clicked, this, &TitleEditorDialog::start_send_all);
    connect(close_, &QPushButton::clicked, this, &TitleEditorDialog::reject);

    auto* selectors = new QHBoxLayout;
    selectors->addWidget(page_group);
    selectors->addWidget(slave_group);
    selectors->addStretch();
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(page_send_);
    buttons->addWidget(all_send_);
    buttons->addStretch();
    buttons->addWidget(close_);
    auto* bar = new QHBoxLayout;
    bar->addWidget(progress_, 1);
    bar->addWidget(percentage_);
    bar->addWidget(new QLabel(QStringLiteral("％"), this));
    job_ = new SequenceJobView("タイトルの設定 全設定", notices, this);
    connect(job_, &SequenceJobView::stop_requested, this, &TitleEditorDialog::stop);
    auto* layout = new QGridLayout(this);
    layout->addLayout(selectors, 0, 0);
    layout->addWidget(title_group, 1, 0);
    layout->addLayout(bar, 2, 0);
    layout->addWidget(job_, 3, 0);
    layout->addLayout(buttons, 0, 1, 4, 1);
    monitor_ = new MonitorPreviewView(tool, this);
    layout->addWidget(monitor_, 0, 2, 4, 1, Qt::AlignTop);
    // After the field's text has been taken into the model (the connection above comes first).
    connect(field_, &QPlainTextEdit::textChanged, monitor_, &MonitorPreviewView::redraw);

    timer_.setInterval(kTitleSendTickMs);
    connect(&timer_, &QTimer::timeout, this, &TitleEditorDialog::tick);

    show_title();
    field_->setFocus();
    // Where the platform has an input panel, it is shown while the editor is open and put back as it was.
    QInputMethod* input = QGuiApplication::inputMethod();
    input_panel_was_visible_ = input->isVisible();
    input->show();
}

TitleEditorDialog::~TitleEditorDialog() {
    timer_.stop();
}

void TitleEditorDialog::show_title() {
    accepted_ = title_field_chars(controller_.title());
    set_field(shown_text(accepted_), -1);
}

void TitleEditorDialog::set_field(const QString& text, int cursor) {
    showing_ = true;
    field_->setPlainText(text);
    if (cursor < 0) {
        field_->moveCursor(QTextCursor::End);
    } else {
        QTextCursor at = field_->textCursor();
        at.setPosition(std::clamp(cursor, 0, static_cast<int>(text.size())));
        field_->setTextCursor(at);
    }
    showing_ = false;
}

void TitleEditorDialog::field_changed() {
    if (showing_) return;
    const QString text = field_->toPlainText();
    // The input method's composition and the marks change the document without changing its text:
    // nothing to store, and the field must be left alone or the composition is lost.
    if (text == shown_text(accepted_)) return;
    // The characters around the change keep the exact bytes they stood for: a glyph cell the operator
    // did not touch stays that cell.
    const FieldChange change = fit_field_change(accepted_, text, kTitleFieldLimit, typed_char_bytes);
    if (change.refused) {
        // A character the code page lacks: the change is refused and the field keeps its text.
        set_field(shown_text(accepted_), change.start);
        notices_.notify_warning(kTitleRefused);
        return;
    }
    const bool taken = change.changed && controller_.edit_title(stored_bytes(change.chars));
    if (taken) {
        accepted_ = change.chars;
        if (change.left_out > 0) set_field(shown_text(accepted_), change.cursor);
        if (change.left_out == 0) return;
    } else {
        set_field(shown_text(accepted_), change.start);
    }
    // The field is full. A character typed on its own that does not fit shows as much (it does not
    // appear); of a paste or a conversion, the operator learns how much was not taken.
    if (change.inserted > 1 && change.left_out > 0) {
        notify_left_out(notices_, change.left_out);
    } else {
        QApplication::beep();
    }
}

void TitleEditorDialog::start_send_all() {
    if (run_on_chosen_units(this, tool_, notices_, {FleetController::Command::kTitles, "タイトル 全設定"})) return;
    if (!controller_.start_send_all()) return;
    timer_.setInterval(controller_.send_all_tick_ms());
    show_pace(progress_, tool_);
    close_->setEnabled(false);
    job_->started(controller_.sequence(), controller_.send_all_tick_ms(), controller_.fast());
    show_progress();
    timer_.start();
}

void TitleEditorDialog::stop() {
    // Taken at once rather than a tick away: a tick with a stop asked for sends nothing.
    if (controller_.stop()) tick();
}

void TitleEditorDialog::tick() {
    const bool running = controller_.tick();
    show_progress();
    if (running) return;
    timer_.stop();
    close_->setEnabled(true);
}

void TitleEditorDialog::show_progress() {
    progress_->setValue(controller_.progress());
    percentage_->setText(qt_text(controller_.percentage()));
    job_->show_state(controller_.sequence());
}

void TitleEditorDialog::reject() {
    if (!controller_.close()) return;
    input_method_->restore();
    QInputMethod* input = QGuiApplication::inputMethod();
    if (!input_panel_was_visible_) input->hide();
    QDialog::reject();
}

void TitleEditorDialog::closeEvent(QCloseEvent* event) {
    if (controller_.running()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace tvx
