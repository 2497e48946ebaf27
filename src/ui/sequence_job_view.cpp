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
    show_state(sequence);
}

void SequenceJobView::show_state(const PacedSequence& sequence) {
    const std::int64_t now = clock_.isValid() ? clock_.elapsed() : 0;
    if (sequence.running()) {
        stop_->setEnabled(!sequence.stop_requested());
        text_->setText(qt_text(job_.progress_text(sequence, now)));
        return;
    }
    stop_->setEnabled(false);
    if (told_) return;
    told_ = true;
    text_->setText(qt_text(job_.end_text(sequence, now)));
    const std::string status = job_.status_line(sequence, now);
    if (!status.empty()) notices_.notify_status(status);
}

}  // namespace tvx
