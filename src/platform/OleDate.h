#pragma once

#include <QDateTime>

// Date-times stored as day counts since 1899-12-30 held in a double, the fraction
// being the time of day (one minute is 1/1440). The one conversion pair for all callers.
double DateTimeToDays(const QDateTime& dateTime);
QDateTime DaysToDateTime(double days);
