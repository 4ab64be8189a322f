#include "ui/main/Pictures.h"

#include "ui/main/PhoneBookPictures.h"

#include <QPainter>
#include <QPainterPath>

namespace {
const QColor Blue(32, 96, 176);

void DrawBubble(QPainter& p, const QRectF& r, const QColor& fill)
{
    QPainterPath bubble;
    const QRectF body(r.left(), r.top(), r.width(), r.height() * 0.78);
    bubble.addRoundedRect(body, r.width() * 0.18, r.height() * 0.18);
    QPainterPath tail;
    tail.moveTo(r.left() + r.width() * 0.22, body.bottom() - 1);
    tail.lineTo(r.left() + r.width() * 0.18, r.bottom());
    tail.lineTo(r.left() + r.width() * 0.45, body.bottom() - 1);
    tail.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(bubble.united(tail));
    // three dots of text
    p.setBrush(Qt::white);
    const qreal d = r.width() * 0.13;
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QRectF(r.left() + r.width() * (0.2 + 0.25 * i), body.center().y() - d / 2, d, d));
}

QPixmap Canvas(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}
} // namespace

namespace Pictures {

QIcon ProgramIcon()
{
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64}) {
        QPixmap pixmap = Canvas(size);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        DrawBubble(p, QRectF(1, 1, size - 2, size - 2), Blue);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QPixmap ToolPicture(int number, bool highlighted)
{
    if (number == 1)
        return PhoneBookPictures::AddContactTool(highlighted);
    if (number == 6)
        return PhoneBookPictures::FindContactTool(highlighted);
    QPixmap pixmap = Canvas(24);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = highlighted ? QColor(230, 120, 0) : Blue;
    switch (number) {
    case 1: { // add contact: a person with a plus
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(QRectF(4, 3, 9, 9));
        p.drawRoundedRect(QRectF(1.5, 13, 14, 9), 4, 4);
        p.setPen(QPen(highlighted ? ink : QColor(40, 150, 60), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(19, 10), QPointF(19, 20));
        p.drawLine(QPointF(14, 15), QPointF(23, 15));
        break;
    }
    case 2: { // manage lists: stacked cards with lines
        p.setPen(QPen(ink, 1.5));
        for (int i = 2; i >= 0; --i) {
            p.setBrush(i == 0 ? QColor(Qt::white) : ink.lighter(170));
            p.drawRoundedRect(QRectF(3 + 2 * i, 3 + 3 * i, 14, 15), 2, 2);
        }
        for (int y = 8; y <= 14; y += 3)
            p.drawLine(QPointF(6, y), QPointF(14, y));
        break;
    }
    case 6: { // find contact: a magnifying glass
        p.setPen(QPen(ink, 2.5, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(QColor(255, 255, 255, 180));
        p.drawEllipse(QRectF(3, 3, 12, 12));
        p.drawLine(QPointF(14, 14), QPointF(21, 21));
        break;
    }
    case 3: { // sent messages: a sheet with lines
        p.setPen(QPen(ink, 1.5));
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(5, 2.5, 14, 19), 2, 2);
        for (int y = 7; y <= 17; y += 3)
            p.drawLine(QPointF(8, y), QPointF(16, y));
        break;
    }
    case 4: { // show credit: a coin with the euro sign
        p.setPen(QPen(ink.darker(130), 1.5));
        p.setBrush(highlighted ? QColor(255, 220, 120) : QColor(250, 205, 60));
        p.drawEllipse(QRectF(2.5, 2.5, 19, 19));
        QFont font = p.font();
        font.setPixelSize(13);
        font.setBold(true);
        p.setFont(font);
        p.setPen(ink.darker(150));
        p.drawText(QRectF(2.5, 2.5, 19, 19), Qt::AlignCenter, QString(QChar(0x20AC)));
        break;
    }
    case 5: { // buy credit: a trolley
        p.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        QPainterPath cart;
        cart.moveTo(2, 4);
        cart.lineTo(6, 4);
        cart.lineTo(8.5, 15);
        cart.lineTo(19, 15);
        cart.lineTo(21, 7);
        cart.lineTo(7, 7);
        p.drawPath(cart);
        p.setBrush(ink);
        p.drawEllipse(QRectF(8, 17.5, 3.5, 3.5));
        p.drawEllipse(QRectF(16, 17.5, 3.5, 3.5));
        break;
    }
    default:
        DrawBubble(p, QRectF(2, 2, 20, 20), ink);
        break;
    }
    return pixmap;
}

QPixmap Logo()
{
    QPixmap pixmap(180, 120);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    DrawBubble(p, QRectF(55, 4, 70, 62), QColor(230, 230, 230));
    QFont font = p.font();
    font.setPixelSize(26);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(235, 235, 235));
    p.drawText(QRectF(0, 70, 180, 40), Qt::AlignCenter, QStringLiteral("Brelmont"));
    return pixmap;
}

QPixmap TrayAreaPicture()
{
    QPixmap pixmap(150, 40);
    pixmap.fill(QColor(52, 60, 72));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    // other icons of the area, then ours, marked
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 130, 145));
    for (int i = 0; i < 3; ++i)
        p.drawRoundedRect(QRectF(8 + 26 * i, 12, 16, 16), 3, 3);
    DrawBubble(p, QRectF(88, 11, 18, 18), QColor(90, 160, 240));
    p.setPen(QPen(QColor(255, 80, 60), 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(82, 5, 30, 30));
    p.setPen(QColor(220, 220, 220));
    QFont font = p.font();
    font.setPixelSize(11);
    p.setFont(font);
    p.drawText(QRectF(112, 0, 38, 40), Qt::AlignCenter, QStringLiteral("12:00"));
    return pixmap;
}

} // namespace Pictures
