#include "i18n/Language.h"

LanguageGroup LanguageGroupOf(const QString& code)
{
    if (code == u"ITA")
        return LanguageGroup::Italian;
    if (code == u"ENG" || code == u"FRA" || code == u"DEU" || code == u"ESP")
        return LanguageGroup::English;
    if (code == u"POR")
        return LanguageGroup::Portuguese;
    return LanguageGroup::None;
}

std::optional<QString> PickText(const QString& code, const Tr& text)
{
    switch (LanguageGroupOf(code)) {
    case LanguageGroup::Italian:
        return QString::fromUtf8(text.ita);
    case LanguageGroup::English:
        return QString::fromUtf8(text.eng);
    case LanguageGroup::Portuguese:
        return QString::fromUtf8(text.por);
    case LanguageGroup::None:
        break;
    }
    return std::nullopt;
}

void ApplyText(const QString& code, QString& target, const Tr& text)
{
    if (auto picked = PickText(code, text))
        target = *picked;
}

QString NextInCycle(const QString& current, const QString* cycle, int count)
{
    for (int i = 0; i + 1 < count; ++i)
        if (current == cycle[i])
            return cycle[i + 1];
    return count > 0 ? cycle[0] : QString();
}
