#include "ui/comm_log_window.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
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

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("表示"), this));
    top->addWidget(direction_);
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
    if (passes(entry, filter_)) {
        // Follow the newest line only when the operator has not scrolled back to read an older one.
        QScrollBar* bar = text_->verticalScrollBar();
        const bool at_end = bar->value() == bar->maximum();
        text_->appendPlainText(QString::fromStdString(render_entry(entry)));
        if (at_end) bar->setValue(bar->maximum());
    }
    show_count();
}

void CommLogWindow::refill() {
    QString text = QString::fromStdString(log_.text(filter_));
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    text_->setPlainText(text);
    text_->verticalScrollBar()->setValue(text_->verticalScrollBar()->maximum());
    show_count();
}

void CommLogWindow::show_count() {
    const std::size_t total = log_.entries().size();
    if (filter_ == CommLogFilter::kAll) {
        count_->setText(QStringLiteral("%1 行").arg(total));
        return;
    }
    const auto shown = std::count_if(log_.entries().begin(), log_.entries().end(),
                                     [this](const CommLogEntry& entry) { return passes(entry, filter_); });
    count_->setText(QStringLiteral("%1 行（全 %2 行）").arg(shown).arg(total));
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
