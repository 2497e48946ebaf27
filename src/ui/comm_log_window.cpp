#include "ui/comm_log_window.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBlock>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>

#include "config/notices.h"
#include "config/safe_file.h"
#include "ui/file_dialog_layout.h"
#include "ui/recent_folder.h"
#include "ui/setting_editor_widgets.h"

namespace tvx {

CommLogWindow::CommLogWindow(CommLog& log, Notices& notices, Configuration* folders, QWidget* owner)
    : QWidget(owner, Qt::Window), log_(log), notices_(notices), folders_(folders) {
    setWindowTitle(QStringLiteral("通信ログ"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    direction_ = new QComboBox(this);
    direction_->setObjectName(QStringLiteral("direction"));
    direction_->addItems({QStringLiteral("すべて"), QStringLiteral("送信のみ"), QStringLiteral("受信のみ")});
    connect(direction_, &QComboBox::activated, this,
            [this](int index) { set_filter(static_cast<CommLogFilter>(index)); });

    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("log_text"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setMaximumBlockCount(static_cast<int>(log_.capacity()));
    QFont fixed(QStringLiteral("Monospace"));
    fixed.setStyleHint(QFont::TypeWriter);
    text_->setFont(fixed);

    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("line_count"));
    clear_ = make_button("クリア", this);
    connect(clear_, &QPushButton::clicked, this, [this] { log_.clear(); });
    save_ = make_button("保存...", this);
    connect(save_, &QPushButton::clicked, this, &CommLogWindow::ask_save);
    auto* close = make_button("Close", this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("search"));
    search_->setPlaceholderText(QStringLiteral("検索"));
    search_->setClearButtonEnabled(true);
    connect(search_, &QLineEdit::textChanged, this, &CommLogWindow::set_search);
    // Enter goes to the next place, Shift+Enter to the one before, as in a browser's search bar.
    connect(search_, &QLineEdit::returnPressed, this, [this] {
        if (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier) {
            find_previous();
        } else {
            find_next();
        }
    });
    previous_ = make_button("前へ", this);
    next_ = make_button("次へ", this);
    connect(previous_, &QPushButton::clicked, this, &CommLogWindow::find_previous);
    connect(next_, &QPushButton::clicked, this, &CommLogWindow::find_next);
    match_label_ = new QLabel(this);
    match_label_->setObjectName(QStringLiteral("match_count"));
    pause_ = make_button("一時停止", this);
    pause_->setCheckable(true);
    connect(pause_, &QPushButton::toggled, this, &CommLogWindow::set_paused);
    auto* find_key = new QShortcut(QKeySequence::Find, this);
    connect(find_key, &QShortcut::activated, this, [this] {
        search_->setFocus();
        search_->selectAll();
    });
    auto* next_key = new QShortcut(QKeySequence::FindNext, this);
    connect(next_key, &QShortcut::activated, this, &CommLogWindow::find_next);
    auto* previous_key = new QShortcut(QKeySequence::FindPrevious, this);
    connect(previous_key, &QShortcut::activated, this, &CommLogWindow::find_previous);

    remark_ = new QTimer(this);
    remark_->setSingleShot(true);
    remark_->setInterval(150);
    connect(remark_, &QTimer::timeout, this, &CommLogWindow::mark_matches);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("表示"), this));
    top->addWidget(direction_);
    top->addWidget(pause_);
    top->addSpacing(12);
    top->addWidget(search_, 1);
    top->addWidget(previous_);
    top->addWidget(next_);
    top->addWidget(match_label_);
    top->addStretch();
    top->addWidget(count_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(clear_);
    buttons->addWidget(save_);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(text_, 1);
    layout->addLayout(buttons);
    resize(720, 420);

    connect(&log_, &CommLog::entry_added, this, &CommLogWindow::append);
    connect(&log_, &CommLog::cleared, this, &CommLogWindow::refill);
    refill();
    show_match_state();
}

void CommLogWindow::set_filter(CommLogFilter filter) {
    filter_ = filter;
    direction_->setCurrentIndex(static_cast<int>(filter));
    refill();
}

QString CommLogWindow::shown_text() const {
    QString text = text_->toPlainText();
    if (!text.isEmpty()) text += QLatin1Char('\n');
    return text;
}

void CommLogWindow::append(const CommLogEntry& entry) {
    if (paused_) {
        // The view stays as it is; the log keeps the entry for when it goes on.
        if (passes(entry, filter_)) ++held_back_;
        show_count();
        return;
    }
    if (passes(entry, filter_)) {
        // Follow the newest line only when the operator has not scrolled back to read an older one.
        QScrollBar* bar = text_->verticalScrollBar();
        const bool at_end = bar->value() == bar->maximum();
        text_->appendPlainText(QString::fromStdString(render_entry(entry)));
        if (at_end) bar->setValue(bar->maximum());
        // The oldest lines may have given way: the marks are placed again once the burst is over.
        if (!search_text_.isEmpty()) remark_->start();
    }
    show_count();
}

void CommLogWindow::refill() {
    QString text = QString::fromStdString(log_.text(filter_));
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    text_->setPlainText(text);
    text_->verticalScrollBar()->setValue(text_->verticalScrollBar()->maximum());
    held_back_ = 0;
    show_count();
    mark_matches();
}

void CommLogWindow::show_count() {
    if (paused_) {
        pause_->setText(held_back_ > 0 ? QStringLiteral("再開 (+%1 行)").arg(held_back_)
                                       : QStringLiteral("再開"));
    }
    const std::size_t total = log_.entries().size();
    if (filter_ == CommLogFilter::kAll) {
        count_->setText(QStringLiteral("%1 行").arg(total));
        return;
    }
    const auto shown = std::count_if(log_.entries().begin(), log_.entries().end(),
                                     [this](const CommLogEntry& entry) { return passes(entry, filter_); });
    count_->setText(QStringLiteral("%1 行（全 %2 行）").arg(shown).arg(total));
}

void CommLogWindow::set_paused(bool paused) {
    if (paused == paused_) return;
    paused_ = paused;
    if (pause_->isChecked() != paused) pause_->setChecked(paused);
    if (paused) {
        held_back_ = 0;
        show_count();
        return;
    }
    pause_->setText(QStringLiteral("一時停止"));
    // Everything recorded meanwhile, at the end as before the pause.
    refill();
}

void CommLogWindow::set_search(const QString& text) {
    if (search_->text() != text) search_->setText(text);
    if (text == search_text_) return;
    search_text_ = text;
    current_ = -1;
    mark_matches();
    // The newest place first: the view stands at the end, where the operator is looking.
    if (!marks_.empty()) move_to_match(static_cast<int>(marks_.size()) - 1);
}

void CommLogWindow::mark_matches() {
    remark_->stop();
    // The marks' cursors follow the text as the oldest lines give way, so the current place is found
    // again by where its cursor is now.
    const int current_position =
        current_ >= 0 && current_ < marks_.size() ? marks_[current_].cursor.selectionStart() : -1;
    marks_.clear();
    current_ = -1;
    if (!search_text_.isEmpty()) {
        const QString all = text_->toPlainText();
        for (qsizetype at = all.indexOf(search_text_, 0, Qt::CaseInsensitive); at >= 0;
             at = all.indexOf(search_text_, at + search_text_.size(), Qt::CaseInsensitive)) {
            QTextEdit::ExtraSelection mark;
            mark.cursor = QTextCursor(text_->document());
            mark.cursor.setPosition(static_cast<int>(at));
            mark.cursor.setPosition(static_cast<int>(at + search_text_.size()), QTextCursor::KeepAnchor);
            if (at == current_position) current_ = static_cast<int>(marks_.size());
            marks_.append(mark);
        }
    }
    paint_marks();
}

void CommLogWindow::paint_marks() {
    for (int i = 0; i < marks_.size(); ++i) {
        marks_[i].format.setBackground(i == current_ ? QColor(255, 150, 40) : QColor(255, 230, 110));
    }
    text_->setExtraSelections(marks_);
    show_match_state();
}

void CommLogWindow::move_to_match(int index) {
    current_ = index;
    paint_marks();
    // Scrolled into view; the view's own cursor is put there, not a selection of its own.
    QTextCursor at = marks_[index].cursor;
    at.clearSelection();
    text_->setTextCursor(at);
    text_->ensureCursorVisible();
}

bool CommLogWindow::find_next() {
    if (marks_.empty()) return false;
    move_to_match(current_ < 0 ? 0 : (current_ + 1) % static_cast<int>(marks_.size()));
    return true;
}

bool CommLogWindow::find_previous() {
    if (marks_.empty()) return false;
    const int count = static_cast<int>(marks_.size());
    move_to_match(current_ <= 0 ? count - 1 : current_ - 1);
    return true;
}

int CommLogWindow::current_match_line() const {
    if (current_ < 0 || current_ >= marks_.size()) return -1;
    return marks_[current_].cursor.block().blockNumber();
}

void CommLogWindow::show_match_state() {
    const bool searching = !search_text_.isEmpty();
    previous_->setEnabled(!marks_.empty());
    next_->setEnabled(!marks_.empty());
    if (!searching) {
        match_label_->clear();
    } else if (marks_.empty()) {
        match_label_->setText(QStringLiteral("見つかりません"));
    } else if (current_ < 0) {
        match_label_->setText(QStringLiteral("%1 件").arg(marks_.size()));
    } else {
        match_label_->setText(QStringLiteral("%1 / %2 件").arg(current_ + 1).arg(marks_.size()));
    }
}

bool CommLogWindow::save_to(const std::filesystem::path& path) {
    const QByteArray bytes = shown_text().toUtf8();
    if (!write_file_replacing(path,
                              std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
        notices_.notify_error("ファイルを保存できません");
        return false;
    }
    return true;
}

void CommLogWindow::ask_save() {
    QFileDialog dialog(this, QStringLiteral("通信ログの保存"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(
        {QStringLiteral("テキスト ファイル (*.txt)"), QStringLiteral("すべてのファイル (*)")});
    if (folders_) start_in_recent_folder(dialog, *folders_, FileKind::kLog);
    widen_file_dialog(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString path = dialog.selectedFiles().front();
    if (path.isEmpty()) return;
    if (folders_) remember_chosen_folder(*folders_, FileKind::kLog, path);
    save_to(std::filesystem::path(path.toStdU16String()));
}

}  // namespace tvx
