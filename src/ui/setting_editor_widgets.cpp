#include "ui/setting_editor_widgets.h"

#include "protocol/paced_sequence.h"

#include <QComboBox>
#include <QEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QWindow>

namespace tvx {

ChoiceGroup::ChoiceGroup(std::string_view caption, const std::vector<std::string>& items, QWidget* parent,
                         std::string_view button_text)
    : QGroupBox(qt_text(caption), parent) {
    build(button_text);
    for (const std::string& item : items) combo_->addItem(qt_text(item));
}

ChoiceGroup::ChoiceGroup(std::string_view caption, std::span<const std::string_view> items, QWidget* parent,
                         std::string_view button_text)
    : QGroupBox(qt_text(caption), parent) {
    build(button_text);
    for (std::string_view item : items) combo_->addItem(qt_text(item));
}

void ChoiceGroup::build(std::string_view button_text) {
    auto* layout = new QVBoxLayout(this);
    combo_ = new QComboBox(this);
    combo_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    combo_->setMaxVisibleItems(16);
    layout->addWidget(combo_);
    if (!button_text.empty()) {
        button_ = make_button(button_text, this);
        layout->addWidget(button_, 0, Qt::AlignHCenter);
    }
}

void ChoiceGroup::show_selection(int selection) {
    const QSignalBlocker quiet(combo_);
    combo_->setCurrentIndex(selection >= 0 && selection < combo_->count() ? selection : -1);
}

ChoiceGroup* make_slave_address_group(const SlaveSelector& state, QWidget* parent) {
    auto* group = new ChoiceGroup("スレーブアドレス", slave_address_items(), parent);
    group->setObjectName(QStringLiteral("slave_address"));
    group->combo()->setEnabled(state.enabled);
    group->show_selection(state.enabled ? state.selected : -1);
    return group;
}

QPushButton* make_button(std::string_view text, QWidget* parent) {
    auto* button = new QPushButton(qt_text(text), parent);
    button->setAutoDefault(false);
    return button;
}

QFont preview_font() {
    const QStringList families = QFontDatabase::families();
    for (const QString& name :
         {QStringLiteral("MS Gothic"), QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"),
          QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("VL Gothic")}) {
        if (families.contains(name)) {
            QFont font(name);
            font.setPixelSize(16);
            return font;
        }
    }
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(16);
    return font;
}

ExposeWatcher::ExposeWatcher(QWidget* dialog, std::function<void()> on_exposed)
    : QObject(dialog), dialog_(dialog), on_exposed_(std::move(on_exposed)) {
    dialog_->installEventFilter(this);
}

bool ExposeWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (watched == dialog_ && (event->type() == QEvent::Show || event->type() == QEvent::WinIdChange)) {
        // The native window exists from the first show on; its expose events are the repaints.
        QWindow* window = dialog_->windowHandle();
        if (window && window != window_) {
            if (window_) window_->removeEventFilter(this);
            window_ = window;
            window_->installEventFilter(this);
        }
    } else if (watched == window_ && event->type() == QEvent::Expose) {
        // Hiding sends an expose too, for a window that no longer shows anything.
        if (dialog_->isVisible() && window_->isExposed()) on_exposed_();
    }
    return false;
}

PreviewFrame::PreviewFrame(QSize size, QWidget* parent)
    : QWidget(parent), image_(size, QImage::Format_RGB32) {
    image_.fill(Qt::white);
    setFixedSize(size);
    // The frame covers its area: updating it must not repaint the dialog behind it, whose repaint
    // would make the preview due again.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFont(preview_font());
}

void PreviewFrame::draw(const std::vector<PreviewLine>& lines) {
    QPainter painter(&image_);
    painter.setFont(font());
    painter.setPen(Qt::black);
    const QFontMetrics metrics(font());
    for (const PreviewLine& line : lines) {
        const QString text = qt_text(line.text);
        painter.fillRect(QRect(line.x, line.y, metrics.horizontalAdvance(text), metrics.height()), Qt::white);
        painter.drawText(line.x, line.y + metrics.ascent(), text);
    }
    ++draws_;
    update();
}

void PreviewFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

void show_pace(QProgressBar* bar, const ToolState& tool) {
    bar->setFormat(qt_text(pace_name(tool)));
    bar->setAlignment(Qt::AlignCenter);
    bar->setTextVisible(true);
}

}  // namespace tvx
