#include "ui/clock_status_bar.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QPainter>
#include <QRect>
#include <QToolTip>

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

void ClockStatusBar::set_info_text(Info info, const QString& text) {
    QString& cell = info_[static_cast<int>(info)];
    if (cell == text) return;
    cell = text;
    update();
}

QString ClockStatusBar::info_text(Info info) const {
    return info_[static_cast<int>(info)];
}

int ClockStatusBar::row_height() const {
    return fontMetrics().height() + 2 * (kBorder + kTextMargin);
}

QSize ClockStatusBar::sizeHint() const {
    return {kPartRightEdges[1], 2 * row_height()};
}

QSize ClockStatusBar::minimumSizeHint() const {
    return {0, sizeHint().height()};
}

QRect ClockStatusBar::info_cell(int index) const {
    const int left = index == 0 ? 0 : kInfoRightEdges[index - 1];
    const int right = index < 2 ? kInfoRightEdges[index] : width();
    return {left, kBorder, qMax(0, right - left - kBorder), row_height() - 2 * kBorder};
}

bool ClockStatusBar::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        for (int index = 0; index < 3; ++index) {
            if (info_cell(index).contains(help->pos()) && !info_[index].isEmpty()) {
                QToolTip::showText(help->globalPos(), info_[index], this);
                return true;
            }
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QStatusBar::event(event);
}

void ClockStatusBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.setPen(palette().color(QPalette::WindowText));
    for (int index = 0; index < 3; ++index) {
        const QRect cell = info_cell(index);
        qDrawShadePanel(&painter, cell, palette(), /*sunken=*/true, 1);
        const QRect inside = cell.adjusted(kTextMargin, 0, -kTextMargin, 0);
        painter.drawText(inside, Qt::AlignLeft | Qt::AlignVCenter,
                         fontMetrics().elidedText(info_[index], Qt::ElideRight, inside.width()));
    }
    const int top = row_height();
    int left = 0;
    for (int part = 0; part < 2; ++part) {
        const QRect cell(left, top + kBorder, kPartRightEdges[part] - left - kBorder, row_height() - 2 * kBorder);
        // The date sits in the usual sunken part; the time part pops out.
        qDrawShadePanel(&painter, cell, palette(), /*sunken=*/part == 0, 1);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(cell.adjusted(kTextMargin, 0, -kTextMargin, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         texts_[part]);
        left = kPartRightEdges[part];
    }
}

}  // namespace tvx
