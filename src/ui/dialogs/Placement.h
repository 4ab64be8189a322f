#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

class QWidget;

// Where dialogs go beside the main window or their owner. The rules are pure functions over
// rectangles (reference window frame, dialog size, the monitors' work areas) so they can be
// checked without windows; the widget wrappers below feed them the real screen geometry.
enum class PlacementRule
{
    BesideMainWindow,         // about box, demo-account notice: 2 pixels apart, bottoms aligned
    SettingsBesideMainWindow, // settings dialog: touching the main window, no vertical adjustment
    BesideOwner,              // message dialog: overlapping its owner by one pixel
    ScheduleBesideMainWindow, // schedule dialog: touching on the right, 10 pixels apart on the left
};

// The monitor containing point, else the one nearest to it; nullopt without monitors.
std::optional<QRect> NearestMonitor(const QList<QRect>& monitors, const QPoint& point);

// Top-left corner for a dialog of the given size beside the reference window; nullopt when
// there is no monitor to place it on.
std::optional<QPoint> PlaceBeside(PlacementRule rule, const QRect& reference, const QSize& dialog,
                                  const QList<QRect>& monitors);

// The work areas of the screens the application knows.
QList<QRect> MonitorWorkAreas();

// Moves dialog by the rule beside reference (its frame); leaves it where it is when reference is
// null or no monitor exists. Returns whether it was moved.
bool PlaceWindow(PlacementRule rule, QWidget* dialog, const QWidget* reference);

inline bool PlaceBesideMainWindow(QWidget* dialog, const QWidget* mainWindow)
{
    return PlaceWindow(PlacementRule::BesideMainWindow, dialog, mainWindow);
}
