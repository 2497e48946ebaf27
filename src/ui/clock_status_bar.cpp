#include "ui/clock_status_bar.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRect>

#include <qdrawutil.h>

namespace tvx {

namespace {

constexpr int kBorder = 2;
constexpr int kTextMargin = 3;

}  // namespace

ClockStatusBar::ClockStatusBar(QWidget* parent) : QStatusBar(parent) {
    setSizeGripEnabled(false);
}

void ClockStatusBar::set_part_text(int part, const QString& text) {
    if (part < 0 || part > 1 || texts_[part] == text) return;
    texts_[part] = text;
    update();
}

QString ClockStatusBar::part_text(int part) const {
    return part >= 0 && part <= 1 ? texts_[part] : QString();
}

QSize ClockStatusBar::sizeHint() const {
    return {kPartRightEdges[1], fontMetrics().height() + 2 * (kBorder + kTextMargin)};
}

QSize ClockStatusBar::minimumSizeHint() const {
    return {0, sizeHint().height()};
}

void ClockStatusBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    int left = 0;
    for (int part = 0; part < 2; ++part) {
        const QRect cell(left, kBorder, kPartRightEdges[part] - left - kBorder, height() - 2 * kBorder);
        // The date sits in the usual sunken part; the time part pops out.
        qDrawShadePanel(&painter, cell, palette(), /*sunken=*/part == 0, 1);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(cell.adjusted(kTextMargin, 0, -kTextMargin, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         texts_[part]);
        left = kPartRightEdges[part];
    }
}

}  // namespace tvx
