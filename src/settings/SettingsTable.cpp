#include "settings/SettingsTable.h"

#include "platform/OleDate.h"
#include "platform/SystemFacts.h"
#include "settings/SettingsHolder.h"

#include <algorithm>
#include <vector>

namespace {
template <auto V> QVariant Const()
{
    return QVariant(V);
}
QVariant Empty()
{
    return QVariant(QString());
}
QVariant SenderDefault()
{
    return QVariant(QStringLiteral("Brelmont"));
}
QVariant ContactsFileDefault()
{
    return QVariant(QStringLiteral("PBook.xml"));
}
QVariant YesterdayNow()
{
    return QVariant(DateTimeToDays(SystemFacts::Now().addDays(-1)));
}
QVariant SystemTimeZone()
{
    return QVariant(TSettingsHolder::SystemTimeZoneHours());
}

using T = SettingType;
using S = Setting;
} // namespace

const std::array<SettingSpec, SettingCount>& SettingsTable()
{
    // name, type, default, place in SaveSettings (-1: never written there), written at once
    static const std::array<SettingSpec, SettingCount> table = {{
        {S::StartUpConnection, "StartUpConnection", T::Bool, Const<true>, 0, false},
        {S::DisableSound, "DisableSound", T::Bool, Const<false>, 4, false},
        {S::CheckForUpdatesOnStartup, "CheckForUpdatesOnStartup", T::Bool, Const<true>, 1, false},
        {S::RunAtStartup, "RunAtStartup", T::Bool, Const<true>, 2, false},
        {S::UsePGOnline, "UsePGOnline", T::Bool, Const<false>, 3, false},
        {S::UserName, "UserName", T::Secret, Empty, 5, false},
        {S::RememberPwd, "RememberPwd", T::Bool, Const<false>, 6, false},
        {S::Password, "Password", T::Secret, Empty, 7, false},
        {S::Language, "Language", T::String, Empty, 8, false}, // empty: chosen by the system's locale
        {S::Sender, "Sender", T::String, SenderDefault, 9, false},
        {S::FirstTime, "FirstTime", T::Bool, Const<true>, 10, true},
        {S::NextUpdateExpire, "NextUpdateExpire", T::DateTime, YesterdayNow, -1, true},
        {S::FirstTimeClose, "FirstTimeClose", T::Bool, Const<false>, 11, false},
        {S::TimeZone, "TimeZone", T::Integer, SystemTimeZone, 12, false},
        {S::ContactsFile, "ContactsFile", T::String, ContactsFileDefault, -1, false},
        {S::LastX, "LastX", T::Integer, Const<100>, 13, false},
        {S::LastY, "LastY", T::Integer, Const<50>, 14, false},
        {S::LastW, "LastW", T::Integer, Const<487>, 15, false},
        {S::LastH, "LastH", T::Integer, Const<635>, 16, false},
        {S::ProxyEnabled, "ProxyEnabled", T::Bool, Const<false>, 17, false},
        {S::ProxyAddress, "ProxyAddress", T::String, Empty, 18, false},
        {S::ProxyPort, "ProxyPort", T::Port, Const<0>, 19, false},
        {S::ProxyAuthEnabled, "ProxyAuthEnabled", T::Bool, Const<false>, 20, false},
        {S::ProxyUsername, "ProxyUsername", T::String, Empty, 21, false},
        {S::ProxyPassword, "ProxyPassword", T::String, Empty, 22, false},
        {S::LastIntPrefix, "LastIntPrefix", T::String, Empty, 26, false},
        {S::WarningMediumQuality, "WarningMediumQuality", T::Bool, Const<true>, 23, false},
        {S::WarningUnicode, "WarningUnicode", T::Bool, Const<true>, 25, false},
        {S::WarningManySMS, "WarningManySMS", T::Bool, Const<true>, 24, false},
    }};
    return table;
}

const SettingSpec& SpecOf(Setting id)
{
    return SettingsTable()[static_cast<size_t>(id)];
}

std::optional<Setting> FindSetting(const QString& name)
{
    for (const SettingSpec& spec : SettingsTable())
        if (name.compare(QLatin1StringView(spec.name), Qt::CaseInsensitive) == 0)
            return spec.id;
    return std::nullopt;
}

const std::vector<Setting>& SaveOrder()
{
    static const std::vector<Setting> order = [] {
        std::vector<const SettingSpec*> saved;
        for (const SettingSpec& spec : SettingsTable())
            if (spec.saveOrder >= 0)
                saved.push_back(&spec);
        std::sort(saved.begin(), saved.end(),
                  [](const SettingSpec* a, const SettingSpec* b) { return a->saveOrder < b->saveOrder; });
        std::vector<Setting> ids;
        for (const SettingSpec* spec : saved)
            ids.push_back(spec->id);
        return ids;
    }();
    return order;
}
