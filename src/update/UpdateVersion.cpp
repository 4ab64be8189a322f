#include "update/UpdateVersion.h"

#include <array>

namespace {

// Decimal text with an optional sign, blanks around it ignored, within 32 bits; anything else is 0.
qint32 PartValue(const QString& text)
{
    bool ok = false;
    const qint32 value = text.trimmed().toInt(&ok, 10);
    return ok ? value : 0;
}

std::array<qint32, 4> VersionParts(const QString& text)
{
    std::array<qint32, 4> parts{0, 0, 0, 0};
    QString rest = text;
    for (int i = 0; i < 3; ++i) {
        const qsizetype dot = rest.indexOf(u'.');
        if (dot < 0) // parts not reached stay 0; a text without any dot is 0 as a whole
            return parts;
        parts[static_cast<size_t>(i)] = PartValue(rest.left(dot));
        rest = rest.mid(dot + 1);
    }
    parts[3] = PartValue(rest);
    return parts;
}

qint32 Pack(const std::array<qint32, 4>& parts, bool withFourth)
{
    // Unsigned arithmetic wraps like the 32-bit sums it stands for.
    quint32 sum = (static_cast<quint32>(parts[0]) << 24) + (static_cast<quint32>(parts[1]) << 16) +
                  (static_cast<quint32>(parts[2]) << 8);
    if (withFourth)
        sum += static_cast<quint32>(parts[3]);
    return static_cast<qint32>(sum);
}

} // namespace

qint32 FullVersionNumber(const QString& text)
{
    return Pack(VersionParts(text), true);
}

qint32 ReleaseVersionNumber(const QString& text)
{
    return Pack(VersionParts(text), false);
}

bool IsNewerVersion(const QString& published, const QString& program, bool manual)
{
    return manual ? FullVersionNumber(published) > FullVersionNumber(program)
                  : ReleaseVersionNumber(published) > ReleaseVersionNumber(program);
}
