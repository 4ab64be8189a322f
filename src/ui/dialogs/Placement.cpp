#include "ui/dialogs/Placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <limits>

namespace {
// Edges as the rules use them: right = left + width, bottom = top + height.
int RightEdge(const QRect& r)
{
    return r.left() + r.width();
}

int BottomEdge(const QRect& r)
{
    return r.top() + r.height();
}

qint64 SquaredDistance(const QRect& r, const QPoint& p)
{
    const qint64 dx =
        p.x() < r.left() ? r.left() - p.x() : (p.x() >= RightEdge(r) ? p.x() - RightEdge(r) + 1 : 0);
    const qint64 dy =
        p.y() < r.top() ? r.top() - p.y() : (p.y() >= BottomEdge(r) ? p.y() - BottomEdge(r) + 1 : 0);
    return dx * dx + dy * dy;
}

// The last step of every rule: a corner off the monitor goes to the monitor's edge.
QPoint PullOntoMonitor(QPoint p, const QRect& monitor)
{
    if (p.x() < monitor.left() || p.x() > RightEdge(monitor))
        p.setX(monitor.left());
    if (p.y() < monitor.top() || p.y() > BottomEdge(monitor))
        p.setY(monitor.top());
    return p;
}
} // namespace

std::optional<QRect> NearestMonitor(const QList<QRect>& monitors, const QPoint& point)
{
    std::optional<QRect> best;
    qint64 bestDistance = std::numeric_limits<qint64>::max();
    for (const QRect& monitor : monitors) {
        const qint64 d = SquaredDistance(monitor, point);
        if (d < bestDistance) {
            bestDistance = d;
            best = monitor;
        }
    }
    return best;
}

std::optional<QPoint> PlaceBeside(PlacementRule rule, const QRect& reference, const QSize& dialog,
                                  const QList<QRect>& monitors)
{
    const int w = dialog.width();
    const int h = dialog.height();
    const int refRight = RightEdge(reference);

    if (rule == PlacementRule::BesideOwner) {
        const QPoint start(refRight - 1, BottomEdge(reference) - h);
        const auto monitor = NearestMonitor(monitors, start);
        if (!monitor)
            return std::nullopt;
        QPoint p = start;
        if (p.x() + w >= RightEdge(*monitor))
            p.setX(reference.left() - 1 - w);
        if (p.y() + h >= BottomEdge(*monitor))
            p.setY(BottomEdge(*monitor) - h);
        return PullOntoMonitor(p, *monitor);
    }

    const int rightGap = rule == PlacementRule::BesideMainWindow ? 2 : 0;
    const int leftGap = rule == PlacementRule::ScheduleBesideMainWindow ? 10 : rightGap;
    QPoint p(0, BottomEdge(reference) - h);
    const auto monitor = NearestMonitor(monitors, QPoint(reference.left(), p.y()));
    if (!monitor)
        return std::nullopt;
    // Every rule tests the room on the right with the 2-pixel gap.
    if (refRight + w + 2 < RightEdge(*monitor))
        p.setX(refRight + rightGap);
    else
        p.setX(reference.left() - w - leftGap);
    if (rule != PlacementRule::SettingsBesideMainWindow && p.y() + 2 >= BottomEdge(*monitor))
        p.setY(p.y() - 2);
    return PullOntoMonitor(p, *monitor);
}

QList<QRect> MonitorWorkAreas()
{
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas.append(screen->availableGeometry());
    return areas;
}

bool PlaceWindow(PlacementRule rule, QWidget* dialog, const QWidget* reference)
{
    if (!dialog || !reference)
        return false;
    const QWidget* referenceWindow = reference->window();
    const QRect frame = referenceWindow->frameGeometry();
    QSize size = dialog->frameGeometry().size();
    // A window not shown yet knows no frame: take the reference window's frame for it.
    if (!dialog->isVisible() && referenceWindow->isVisible())
        size += frame.size() - referenceWindow->size();
    const auto corner = PlaceBeside(rule, frame, size, MonitorWorkAreas());
    if (!corner)
        return false;
    dialog->move(*corner);
    return true;
}
