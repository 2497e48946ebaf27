#include "ui/toolbar_icons.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <array>

namespace tvx {

namespace {

const QColor kInk(40, 40, 40);
const QColor kScreen(24, 48, 96);
const QColor kTitleText(255, 255, 255);
const QColor kAccent(210, 40, 40);
const QColor kPaper(250, 250, 245);
const QColor kGold(230, 180, 40);
const QColor kGreen(40, 150, 70);

// A little monitor face: dark picture area with a light bezel.
void draw_screen(QPainter& p, const QRectF& r) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(200, 200, 205));
    p.drawRoundedRect(r, 2, 2);
    p.setBrush(kScreen);
    p.setPen(Qt::NoPen);
    p.drawRect(r.adjusted(2, 2, -2, -2));
}

// A line of "text" as a row of short bars.
void draw_text_line(QPainter& p, qreal x, qreal y, qreal width, const QColor& colour, qreal thickness = 2) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    for (qreal left = x; left < x + width - 1; left += 4) {
        p.drawRect(QRectF(left, y, qMin<qreal>(3, x + width - left), thickness));
    }
}

void draw_letter(QPainter& p, const QRectF& r, const QString& text, int pixel_size, const QColor& colour,
                 bool bold = true) {
    QFont font = p.font();
    font.setPixelSize(pixel_size);
    font.setBold(bold);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(r, Qt::AlignCenter, text);
}

void draw_arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour, qreal width = 1.5) {
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const QLineF line(to, from);
    QLineF head1 = line;
    head1.setLength(3.5);
    head1.setAngle(line.angle() + 35);
    QLineF head2 = line;
    head2.setLength(3.5);
    head2.setAngle(line.angle() - 35);
    p.drawLine(head1);
    p.drawLine(head2);
}

// A calendar sheet with a red header bar.
void draw_calendar(QPainter& p, const QRectF& r, bool grid) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(r);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawRect(QRectF(r.left() + 0.5, r.top() + 0.5, r.width() - 1, 4));
    if (!grid) return;
    p.setPen(QPen(QColor(120, 120, 120), 1));
    for (qreal x = r.left() + 4; x < r.right() - 1; x += 4)
        p.drawLine(QPointF(x, r.top() + 6), QPointF(x, r.bottom() - 1));
    for (qreal y = r.top() + 8; y < r.bottom() - 1; y += 3)
        p.drawLine(QPointF(r.left() + 1, y), QPointF(r.right() - 1, y));
}

void date_time(QPainter& p) {
    draw_calendar(p, QRectF(2.5, 2.5, 16, 17), false);
    draw_letter(p, QRectF(2, 7, 17, 13), QStringLiteral("6"), 10, kInk);
    // Clock face.
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(16.5, 6.5, 13, 13));
    p.setPen(QPen(kInk, 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(23, 13), QPointF(23, 8.5));
    p.drawLine(QPointF(23, 13), QPointF(26.5, 14.5));
}

void title(QPainter& p) {
    draw_screen(p, QRectF(1.5, 1.5, 29, 19));
    draw_letter(p, QRectF(3, 2, 26, 12), QStringLiteral("ABC"), 10, kTitleText);
    draw_text_line(p, 5, 15, 22, QColor(150, 200, 255));
}

void char_size(QPainter& p) {
    draw_letter(p, QRectF(0, 0, 19, 22), QStringLiteral("A"), 19, kInk);
    draw_letter(p, QRectF(17, 7, 14, 14), QStringLiteral("A"), 10, kInk);
}

void display_position(QPainter& p) {
    draw_screen(p, QRectF(1.5, 1.5, 29, 19));
    p.setPen(Qt::NoPen);
    p.setBrush(kGold);
    p.drawRect(QRectF(6, 14, 20, 4));  // the title band placed near the bottom
    draw_text_line(p, 7, 15, 18, kScreen);
    draw_arrow(p, QPointF(16, 5), QPointF(16, 12), Qt::white, 1.2);
}

void display_offset(QPainter& p) {
    draw_screen(p, QRectF(1.5, 1.5, 29, 19));
    const QPointF c(16, 11);
    draw_arrow(p, c, QPointF(16, 4.5), Qt::white, 1.2);
    draw_arrow(p, c, QPointF(16, 17.5), Qt::white, 1.2);
    draw_arrow(p, c, QPointF(7, 11), Qt::white, 1.2);
    draw_arrow(p, c, QPointF(25, 11), Qt::white, 1.2);
    p.setPen(Qt::NoPen);
    p.setBrush(kGold);
    p.drawEllipse(c, 1.8, 1.8);
}

void scroll_speed(QPainter& p) {
    draw_letter(p, QRectF(14, 1, 17, 20), QStringLiteral("A"), 16, kInk);
    p.setPen(QPen(kAccent, 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(2, 7), QPointF(12, 7));
    p.drawLine(QPointF(5, 11), QPointF(13, 11));
    p.drawLine(QPointF(2, 15), QPointF(12, 15));
}

void blink(QPainter& p) {
    draw_letter(p, QRectF(8, 3, 16, 17), QStringLiteral("A"), 15, kInk);
    p.setPen(QPen(kGold, 1.5, Qt::SolidLine, Qt::RoundCap));
    // Rays on both sides.
    p.drawLine(QPointF(2, 5), QPointF(6, 8));
    p.drawLine(QPointF(1, 11), QPointF(6, 11));
    p.drawLine(QPointF(2, 17), QPointF(6, 14));
    p.drawLine(QPointF(30, 5), QPointF(26, 8));
    p.drawLine(QPointF(31, 11), QPointF(26, 11));
    p.drawLine(QPointF(30, 17), QPointF(26, 14));
}

void auto_switch(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(QRectF(2.5, 2.5, 12, 15));
    p.drawRect(QRectF(17.5, 4.5, 12, 15));
    draw_letter(p, QRectF(2, 3, 13, 15), QStringLiteral("1"), 10, kInk);
    draw_letter(p, QRectF(17, 5, 13, 15), QStringLiteral("2"), 10, kInk);
    draw_arrow(p, QPointF(10, 20), QPointF(22, 20), kGreen, 1.5);
    draw_arrow(p, QPointF(22, 1.5), QPointF(10, 1.5), kGreen, 1.5);
}

void char_colour(QPainter& p) {
    QFont font = p.font();
    font.setPixelSize(20);
    font.setBold(true);
    QPainterPath path;
    const QFontMetricsF metrics(font);
    const qreal width = metrics.horizontalAdvance(QStringLiteral("A"));
    path.addText(QPointF(16 - width / 2, 18), font, QStringLiteral("A"));
    p.setPen(QPen(Qt::black, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));  // the edging
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 220, 0));  // the character colour
    p.drawPath(path);
    // Colour chips.
    p.setBrush(kAccent);
    p.drawRect(QRectF(1, 16, 4, 4));
    p.setBrush(kGreen);
    p.drawRect(QRectF(27, 16, 4, 4));
}

void background_fill(QPainter& p) {
    draw_screen(p, QRectF(1.5, 1.5, 29, 19));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 160, 220));
    p.drawRect(QRectF(3.5, 7, 25, 8));  // the solid band behind the title
    draw_text_line(p, 6, 10, 20, Qt::white);
}

void char_level(QPainter& p) {
    p.setPen(Qt::NoPen);
    const std::array<qreal, 5> heights{4, 7, 10, 13, 16};
    for (std::size_t i = 0; i < heights.size(); ++i) {
        const qreal gray = 60 + 40 * qreal(i);
        p.setBrush(QColor::fromRgbF(gray / 255, gray / 255, gray / 255));
        p.drawRect(QRectF(13 + 3.5 * qreal(i), 19 - heights[i], 3, heights[i]));
    }
    draw_letter(p, QRectF(0, 2, 13, 18), QStringLiteral("A"), 14, kInk);
}

void schedule(QPainter& p) {
    draw_calendar(p, QRectF(3.5, 1.5, 25, 19), true);
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawRect(QRectF(12.5, 11.5, 3, 2));  // a marked day
}

void alarm(QPainter& p) {
    QPainterPath bell;
    bell.moveTo(9, 17);
    bell.cubicTo(11, 15, 10, 4, 16, 4);
    bell.cubicTo(22, 4, 21, 15, 23, 17);
    bell.closeSubpath();
    p.setPen(QPen(kInk, 1));
    p.setBrush(kGold);
    p.drawPath(bell);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(16, 18.5), 2, 1.6);
    p.setPen(QPen(kAccent, 1.3, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(3, 5, 8, 10), 120 * 16, 120 * 16);
    p.drawArc(QRectF(21, 5, 8, 10), -60 * 16, 120 * 16);
}

void remote(QPainter& p) {
    // The remote input connector: a flanged D-shaped shell with two screws, its pins, and the lead.
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(160, 160, 170));
    p.drawRoundedRect(QRectF(0.5, 6.5, 24, 10), 1.5, 1.5);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(3, 11.5), 1.4, 1.4);
    p.drawEllipse(QPointF(22, 11.5), 1.4, 1.4);
    p.setBrush(QColor(215, 215, 222));
    QPolygonF shell;
    shell << QPointF(5.5, 5.5) << QPointF(19.5, 5.5) << QPointF(17.5, 17.5) << QPointF(7.5, 17.5);
    p.drawPolygon(shell);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    for (int i = 0; i < 4; ++i) p.drawEllipse(QPointF(7.8 + 3.1 * i, 9.5), 0.9, 0.9);
    for (int i = 0; i < 3; ++i) p.drawEllipse(QPointF(9.4 + 3.1 * i, 13.5), 0.9, 0.9);
    p.setPen(QPen(kAccent, 1.8, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath lead;
    lead.moveTo(24.5, 11.5);
    lead.cubicTo(29, 11.5, 27, 3, 31, 3);
    p.drawPath(lead);
}

void other_options(QPainter& p) {
    // A gear.
    const QPointF c(16, 11);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(110, 110, 120));
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(c);
        p.rotate(45.0 * i);
        p.drawRect(QRectF(-1.6, -9.5, 3.2, 4));
        p.restore();
    }
    p.drawEllipse(c, 7, 7);
    p.setBrush(Qt::white);
    p.drawEllipse(c, 2.8, 2.8);
}

void display_page(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(225, 225, 225));
    p.drawRect(QRectF(9.5, 1.5, 16, 17));
    p.setBrush(kPaper);
    p.drawRect(QRectF(6.5, 3.5, 16, 17));
    draw_letter(p, QRectF(6, 4, 17, 17), QStringLiteral("P"), 12, kAccent);
}

void page_overview(QPainter& p) {
    // Four small monitors, each with its line of text.
    for (int i = 0; i < 4; ++i) {
        const QRectF r(3 + 14 * (i % 2), 1 + 10.5 * (i / 2), 12, 9);
        draw_screen(p, r);
        draw_text_line(p, r.left() + 2, r.bottom() - 3, 8, i == 3 ? kGold : kTitleText, 1.5);
    }
}

using Painter = void (*)(QPainter&);
constexpr std::array<Painter, kToolbarImageCount> kPainters{
    date_time, title,       char_size,     display_position, display_offset, scroll_speed,
    blink,     auto_switch, char_colour,   background_fill,  char_level,     schedule,
    alarm,     remote,      other_options, display_page,     page_overview,
};

}  // namespace

QPixmap toolbar_image(int index) {
    QPixmap pixmap(kToolbarImageWidth, kToolbarImageHeight);
    pixmap.fill(Qt::transparent);
    if (index < 0 || index >= kToolbarImageCount) return pixmap;
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    kPainters[static_cast<std::size_t>(index)](painter);
    return pixmap;
}

QIcon application_icon() {
    QIcon icon;
    for (const int size : {16, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 32.0, size / 32.0);
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(QColor(200, 200, 205));
        p.drawRoundedRect(QRectF(2, 4, 28, 20), 3, 3);
        p.setPen(Qt::NoPen);
        p.setBrush(kScreen);
        p.drawRect(QRectF(5, 7, 22, 14));
        draw_text_line(p, 8, 9, 16, kTitleText);
        p.setBrush(kGold);
        p.drawRect(QRectF(8, 15, 16, 3));
        p.setBrush(kInk);
        p.drawRect(QRectF(13, 24, 6, 3));
        p.drawRect(QRectF(9, 27, 14, 2));
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace tvx
