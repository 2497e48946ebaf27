#include "ui/title_editor_dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputMethod>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>

#include "protocol/title_encoding.h"
#include "ui/setting_editor_widgets.h"

namespace tvx {

QString TitleEditorDialog::field_text(std::string_view title) {
    QStringDecoder decoder("windows-31j");
    QString text = decoder.decode(QByteArrayView(title.data(), static_cast<qsizetype>(title.size())));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::optional<std::string> TitleEditorDialog::title_bytes(const QString& text) {
    QString lines = text;
    // A line break the operator types is the cell CR LF, whichever separator the field used.
    lines.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    lines.replace(QChar::LineSeparator, QLatin1Char('\n'));
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    QStringEncoder encoder("windows-31j");
    if (!encoder.isValid()) return std::nullopt;
    const QByteArray bytes = encoder.encode(lines);
    // A character the code page lacks comes out as 0xFCFC with the error flag set.
    if (encoder.hasError()) return std::nullopt;
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

TitleEditorDialog::TitleEditorDialog(ToolState& tool, CommandLink& link, Notices& notices,
                                     const std::string& selected_address, QWidget* owner)
    : QDialog(owner), controller_(tool, link, notices), notices_(notices) {
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
    field_ = new QPlainTextEdit(title_group);
    field_->setObjectName(QStringLiteral("title"));
    field_->setTabChangesFocus(true);  // a tab would be a half-width character
    // Titles are Japanese, typed through the input method.
    field_->setAttribute(Qt::WA_InputMethodEnabled, true);
    field_->setInputMethodHints(Qt::ImhMultiLine);
    field_->setFont(preview_font());
    field_->setMinimumSize(field_->fontMetrics().horizontalAdvance(QString(28, QChar(0x3000))) + 24,
                           field_->fontMetrics().lineSpacing() * 8 + 12);
    title_layout->addWidget(field_);
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
    auto* layout = new QGridLayout(this);
    layout->addLayout(selectors, 0, 0);
    layout->addWidget(title_group, 1, 0);
    layout->addLayout(bar, 2, 0);
    layout->addLayout(buttons, 0, 1, 3, 1);

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
    showing_ = true;
    accepted_text_ = field_text(controller_.shown_title());
    field_->setPlainText(accepted_text_);
    field_->moveCursor(QTextCursor::End);
    showing_ = false;
}

void TitleEditorDialog::field_changed() {
    if (showing_) return;
    const QString text = field_->toPlainText();
    const std::optional<std::string> bytes = title_bytes(text);
    if (bytes && controller_.edit_title(*bytes)) {
        accepted_text_ = text;
        return;
    }
    // Refused: the field keeps the text it had, with the cursor where the change began.
    const int grown = static_cast<int>(text.size() - accepted_text_.size());
    const int cursor = field_->textCursor().position() - std::max(grown, 0);
    showing_ = true;
    field_->setPlainText(accepted_text_);
    QTextCursor restored = field_->textCursor();
    restored.setPosition(std::clamp(cursor, 0, static_cast<int>(accepted_text_.size())));
    field_->setTextCursor(restored);
    showing_ = false;
    if (bytes) {
        QApplication::beep();  // the field is full
    } else {
        notices_.notify_warning(kTitleRefused);
    }
}

void TitleEditorDialog::start_send_all() {
    if (!controller_.start_send_all()) return;
    close_->setEnabled(false);
    show_progress();
    timer_.start();
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
}

void TitleEditorDialog::reject() {
    if (!controller_.close()) return;
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
