#include "ui/main/PhoneBookPictures.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>

namespace {
const QColor Blue(32, 96, 176);
const QColor Orange(230, 120, 0);

QPixmap Canvas(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A head and shoulders inside r.
void DrawPerson(QPainter& p, const QRectF& r, const QColor& fill)
{
    p.setPen(QPen(fill.darker(140), 0.8));
    p.setBrush(fill);
    const qreal head = r.width() * 0.42;
    p.drawEllipse(QRectF(r.center().x() - head / 2, r.top(), head, head));
    QPainterPath body;
    const QRectF shoulders(r.left(), r.top() + head * 1.05, r.width(), r.height() - head * 1.05);
    body.moveTo(shoulders.bottomLeft());
    body.lineTo(shoulders.left(), shoulders.top() + shoulders.height() * 0.45);
    body.quadTo(shoulders.left(), shoulders.top(), shoulders.center().x(), shoulders.top());
    body.quadTo(shoulders.right(), shoulders.top(), shoulders.right(),
                shoulders.top() + shoulders.height() * 0.45);
    body.lineTo(shoulders.bottomRight());
    body.closeSubpath();
    p.drawPath(body);
}

QPixmap Draw(int imageIndex)
{
    QPixmap pixmap = Canvas(16);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (imageIndex) {
    case PhoneBookPictures::Contact:
        DrawPerson(p, QRectF(3, 1, 10, 14), QColor(90, 150, 220));
        break;
    case PhoneBookPictures::List:
        DrawPerson(p, QRectF(7, 1, 8, 11), QColor(120, 190, 120));
        DrawPerson(p, QRectF(1, 4, 9, 12), QColor(60, 150, 70));
        break;
    case PhoneBookPictures::Recipient:
        DrawPerson(p, QRectF(1, 2, 9, 13), QColor(90, 150, 220));
        p.setPen(QPen(Orange, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(10, 8), QPointF(15, 8));
        p.drawLine(QPointF(12.5, 5.5), QPointF(15, 8));
        p.drawLine(QPointF(12.5, 10.5), QPointF(15, 8));
        break;
    default:
        break;
    }
    return pixmap;
}
} // namespace

namespace PhoneBookPictures {

QIcon Picture(int imageIndex)
{
    static QHash<int, QIcon> cache;
    auto it = cache.find(imageIndex);
    if (it == cache.end())
        it = cache.insert(imageIndex, QIcon(Draw(imageIndex)));
    return *it;
}

QPixmap AddContactTool(bool highlighted)
{
    QPixmap pixmap = Canvas(24);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    DrawPerson(p, QRectF(2, 3, 13, 18), highlighted ? Orange : Blue);
    p.setPen(QPen(highlighted ? Orange : QColor(40, 150, 60), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(18, 9), QPointF(18, 19));
    p.drawLine(QPointF(13, 14), QPointF(23, 14));
    return pixmap;
}

QPixmap FindContactTool(bool highlighted)
{
    QPixmap pixmap = Canvas(24);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = highlighted ? Orange : Blue;
    p.setPen(QPen(ink, 2.2));
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(QRectF(3, 3, 12, 12));
    p.setPen(QPen(ink, 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(14, 14), QPointF(20.5, 20.5));
    return pixmap;
}

} // namespace PhoneBookPictures
