#include "ui/sequence_job_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "ui/setting_editor_widgets.h"

namespace tvx {

SequenceJobView::SequenceJobView(std::string caption, Notices& notices, QWidget* parent)
    : QWidget(parent), job_(std::move(caption)), notices_(notices) {
    setObjectName(QStringLiteral("sequence_job"));
    text_ = new QLabel(this);
    text_->setObjectName(QStringLiteral("job_text"));
    text_->setWordWrap(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text_->setMinimumWidth(text_->fontMetrics().horizontalAdvance(QStringLiteral("タ")) * 24);
    // Two lines from the start, so that the dialog does not jump when a run begins.
    text_->setMinimumHeight(text_->fontMetrics().lineSpacing() * 2);
    stop_ = make_button("中止", this);
    stop_->setObjectName(QStringLiteral("stop"));
    stop_->setEnabled(false);
    connect(stop_, &QPushButton::clicked, this, [this] {
        stop_->setEnabled(false);
        emit stop_requested();
    });
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text_, 1);
    layout->addWidget(stop_, 0, Qt::AlignTop);
}

void SequenceJobView::started(const PacedSequence& sequence, int tick_ms, bool fast) {
    clock_.start();
    job_.started(0, tick_ms, fast);
    told_ = false;
    text_->setMinimumHeight(text_->fontMetrics().lineSpacing() * 2);
    show_state(sequence);
}

void SequenceJobView::show_state(const PacedSequence& sequence) {
    const std::int64_t now = clock_.isValid() ? clock_.elapsed() : 0;
    if (sequence.running()) {
        stop_->setEnabled(!sequence.stop_requested());
        text_->setText(sequence.stop_requested()
                           ? QStringLiteral("中止しています。送信したステップの応答を待っています…")
                           : qt_text(job_.progress_text(sequence, now)));
        return;
    }
    stop_->setEnabled(false);
    if (told_) return;
    told_ = true;
    text_->setText(qt_text(job_.end_text(sequence, now)));
    // A report of several lines makes the dialog grow rather than be cut: the label asks for the
    // height its text takes at its width, which a layout does not find by itself.
    text_->setMinimumHeight(qMax(text_->fontMetrics().lineSpacing() * 2, text_->heightForWidth(text_->width())));
    if (QWidget* dialog = window(); dialog && dialog != this) dialog->adjustSize();
    const std::string status = job_.status_line(sequence, now);
    if (!status.empty()) notices_.notify_status(status);
}

}  // namespace tvx
