#include "platform/Win1252.h"

namespace {
// Characters of bytes 0x80..0x9F; 0 where the code page leaves the byte undefined
// (those bytes decode to the C1 control of the same value, as Windows does).
constexpr char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};
} // namespace

int Win1252Byte(char16_t ch)
{
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return ch;
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == ch)
            return 0x80 + i;
        if (kHigh[i] == 0 && ch == 0x80 + i)
            return ch;
    }
    return -1;
}

QByteArray ToWin1252(QStringView text)
{
    QByteArray out;
    ToWin1252(text, out);
    return out;
}

QByteArrayView ToWin1252(QStringView text, QByteArray& out)
{
    out.resize(text.size());
    char* to = out.data();
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        // Most text is ASCII or Latin-1, whose bytes are the characters themselves.
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            *to++ = static_cast<char>(u);
            continue;
        }
        const int b = Win1252Byte(u);
        *to++ = static_cast<char>(b < 0 ? '?' : b);
    }
    return out;
}

QString FromWin1252(QByteArrayView bytes)
{
    // Latin-1 gives every byte but 0x80..0x9F; those few are put right afterwards.
    QString out = QString::fromLatin1(bytes);
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const unsigned char u = in[i];
        if ((u & 0xE0) == 0x80 && kHigh[u - 0x80] != 0)
            out[i] = QChar(kHigh[u - 0x80]);
    }
    return out;
}

bool IsWin1252Encodable(QStringView text)
{
    for (QChar c : text)
        if (Win1252Byte(c.unicode()) < 0)
            return false;
    return true;
}
