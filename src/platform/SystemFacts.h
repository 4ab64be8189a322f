#pragma once

#include <QDateTime>
#include <optional>

// Facts of the running system that settings and schedules depend on. Each has an
// override so tests can fix it; production code reads the real system.
namespace SystemFacts {

// Windows-style locale identifier of the system's default locale: 0x0410 Italian,
// 0x0810 Swiss Italian, 0x0409 English (US), ... Derived from QLocale::system().
int LocaleId();
void OverrideLocaleId(std::optional<int> id);

// Standard bias in minutes: local standard time plus bias equals UTC (daylight saving
// ignored). Central Europe gives -60, India -330, New York 300.
int TimeZoneBiasMinutes();
void OverrideTimeZoneBiasMinutes(std::optional<int> minutes);

// The current local time; replaceable so schedule and expiry rules are tested without waiting.
QDateTime Now();
void OverrideNow(std::optional<QDateTime> now);

} // namespace SystemFacts
