#include "platform/SystemFacts.h"

#include <QLocale>
#include <QTimeZone>

namespace {
std::optional<int> g_localeId;
std::optional<int> g_biasMinutes;
std::optional<QDateTime> g_now;

// Primary language identifiers and sublanguage 1 (the main country) of the Windows table.
int WindowsLocaleId(const QLocale& locale)
{
    struct Entry
    {
        QLocale::Language language;
        QLocale::Territory territory;
        int id;
    };
    static const Entry table[] = {
        {QLocale::Italian, QLocale::Switzerland, 0x0810}, {QLocale::Italian, QLocale::AnyTerritory, 0x0410},
        {QLocale::English, QLocale::UnitedKingdom, 0x0809}, {QLocale::English, QLocale::AnyTerritory, 0x0409},
        {QLocale::Portuguese, QLocale::Portugal, 0x0816},   {QLocale::Portuguese, QLocale::AnyTerritory, 0x0416},
        {QLocale::French, QLocale::AnyTerritory, 0x040C},   {QLocale::German, QLocale::AnyTerritory, 0x0407},
        {QLocale::Spanish, QLocale::AnyTerritory, 0x0C0A},
    };
    for (const Entry& e : table) {
        if (e.language == locale.language() &&
            (e.territory == QLocale::AnyTerritory || e.territory == locale.territory()))
            return e.id;
    }
    return 0x0409;
}
} // namespace

namespace SystemFacts {

int LocaleId()
{
    return g_localeId ? *g_localeId : WindowsLocaleId(QLocale::system());
}

void OverrideLocaleId(std::optional<int> id)
{
    g_localeId = id;
}

int TimeZoneBiasMinutes()
{
    if (g_biasMinutes)
        return *g_biasMinutes;
    const QTimeZone zone = QTimeZone::systemTimeZone();
    return -zone.standardTimeOffset(QDateTime::currentDateTimeUtc()) / 60;
}

void OverrideTimeZoneBiasMinutes(std::optional<int> minutes)
{
    g_biasMinutes = minutes;
}

QDateTime Now()
{
    return g_now ? *g_now : QDateTime::currentDateTime();
}

void OverrideNow(std::optional<QDateTime> now)
{
    g_now = std::move(now);
}

} // namespace SystemFacts
