#include "ui/monitor_preview_view.h"

#include <QApplication>
#include <QDateTime>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "config/test_picture.h"

namespace tvx {
namespace {

// Often enough for a smooth scroll and a blink; the date line needs one a second.
constexpr int kAnimationMs = 40;

}  // namespace

PreviewClock MonitorPreviewView::local_clock() {
    const QDateTime now = QDateTime::currentDateTime();
    return {now.date().year(), now.date().month(),  now.date().day(),
            now.time().hour(), now.time().minute(), now.time().second()};
}

MonitorPreviewView::MonitorPreviewView(const ToolState& tool, QWidget* parent, QSize size)
    : QWidget(parent), tool_(tool), size_(size) {
    page_ = [this] { return tool_.model.run.current_page; };
    clock_ = &MonitorPreviewView::local_clock;

    screen_ = new QLabel(this);
    screen_->setObjectName(QStringLiteral("monitor"));
    screen_->setFixedSize(size_);
    auto* caption = new QLabel(QStringLiteral("モニタ表示（目安）"), this);
    caption->setToolTip(
        QStringLiteral("本機の表示位置・色・速さはこのツールの見積りです。実際のモニタで確かめてください。"));
    picture_button_ = new QToolButton(this);
    picture_button_->setText(QStringLiteral("テスト画像"));
    picture_button_->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(picture_button_);
    menu->addAction(QStringLiteral("カラーバー"), this, [this] { use_picture({}); });
    menu->addAction(QStringLiteral("画像を選ぶ..."), this, &MonitorPreviewView::choose_picture);
    picture_button_->setMenu(menu);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* top = new QHBoxLayout;
    top->addWidget(caption);
    top->addStretch();
    top->addWidget(picture_button_);
    layout->addLayout(top);
    layout->addWidget(screen_);
    layout->addStretch();

    load_picture();
    connect(&animation_, &QTimer::timeout, this, &MonitorPreviewView::redraw);
    animation_.setInterval(kAnimationMs);
    since_.start();
    redraw();
}

void MonitorPreviewView::load_picture() {
    const std::string path = test_picture(tool_.config);
    picture_ = path.empty() ? QImage() : fit_test_picture(QImage(QString::fromUtf8(path.c_str())));
}

bool MonitorPreviewView::use_picture(const QString& path) {
    if (!path.isEmpty()) {
        const QImage image(path);
        if (image.isNull()) return false;
        picture_ = fit_test_picture(image);
    } else {
        picture_ = QImage();
    }
    remember_test_picture(tool_.config, path.toUtf8().toStdString());
    redraw();
    return true;
}

void MonitorPreviewView::choose_picture() {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("テスト画像"), QString(),
                                                      QStringLiteral("画像 (*.png *.jpg *.jpeg *.bmp)"));
    // A file that is no image changes nothing; the beep says so.
    if (!path.isEmpty() && !use_picture(path)) QApplication::beep();
}

void MonitorPreviewView::redraw() {
    const int page = page_();
    const int time_ms = static_cast<int>(since_.elapsed() % (24LL * 3600 * 1000));
    image_ = render_monitor_preview(PreviewScene{tool_.model, tool_.glyphs, page, time_ms, clock_(),
                                                 picture_.isNull() ? nullptr : &picture_},
                                    size_);
    screen_->setPixmap(QPixmap::fromImage(image_));
    // Runs only while something moves: a still page costs nothing between changes.
    const bool moves =
        preview_animates(tool_.model.pages[static_cast<std::size_t>(std::clamp(page, 0, kPageCount - 1))]) ||
        tool_.model.date_display == 1;
    if (moves && !animation_.isActive()) animation_.start();
    if (!moves) animation_.stop();
}

}  // namespace tvx
