#include "compose/GsmText.h"

#include "platform/Win1252.h"

#include <array>
#include <cstdint>

namespace {

// Classes of U+0000..U+00FF; the few basic and extension characters above live in a switch.
constexpr std::array<std::uint8_t, 256> MakeLowTable()
{
    std::array<std::uint8_t, 256> t{};
    for (auto& c : t)
        c = gcUnicode;
    t[0x00] = t[0x0A] = t[0x0D] = gcBasic;
    for (int c = 0x20; c <= 0x5A; ++c)
        t[c] = gcBasic;
    t[0x5F] = gcBasic;
    for (int c = 0x61; c <= 0x7A; ++c)
        t[c] = gcBasic;
    // ¡ £ ¤ ¥ § ¿ Ä Å Æ Ç É Ñ Ö Ø Ü ß à ä å æ è é ì ñ ò ö ø ù ü
    for (int c : {0xA1, 0xA3, 0xA4, 0xA5, 0xA7, 0xBF, 0xC4, 0xC5, 0xC6, 0xC7, 0xC9, 0xD1, 0xD6, 0xD8, 0xDC,
                  0xDF, 0xE0, 0xE4, 0xE5, 0xE6, 0xE8, 0xE9, 0xEC, 0xF1, 0xF2, 0xF6, 0xF8, 0xF9, 0xFC})
        t[c] = gcBasic;
    for (int c : {'^', '{', '}', '\\', '[', '~', ']', '|'})
        t[c] = gcExtension;
    return t;
}

constexpr std::array<std::uint8_t, 256> kLowTable = MakeLowTable();

constexpr char kHexDigits[] = "0123456789ABCDEF";

} // namespace

int GsmCharClass(char16_t unit)
{
    if (unit < 0x100)
        return kLowTable[unit];
    switch (unit) {
    case 0x0393: // Γ
    case 0x0394: // Δ
    case 0x0398: // Θ
    case 0x039B: // Λ
    case 0x039E: // Ξ
    case 0x03A0: // Π
    case 0x03A3: // Σ
    case 0x03A6: // Φ
    case 0x03A8: // Ψ
    case 0x03A9: // Ω
        return gcBasic;
    case 0x20AC: // €
        return gcExtension;
    default:
        return gcUnicode;
    }
}

TTextCount CountMessageText(QStringView text)
{
    qsizetype extra = 0;
    bool unicode = false;
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        const int cls = GsmCharClass(u);
        if (cls == gcUnicode) {
            unicode = true; // the count is now the unit count: no need to look further
            break;
        }
        if (cls == gcExtension)
            ++extra;
        else if (u == 0x0D)
            --extra;
    }

    TTextCount result;
    result.IsUnicode = unicode;
    result.Count = unicode ? text.size() : text.size() + extra;
    const int* tiers = unicode ? kUnicodeTiers : kGsmTiers;
    result.Parts = kMaxParts;
    result.Limit = tiers[kMaxParts - 1];
    for (int i = 0; i < kMaxParts - 1; ++i) {
        if (result.Count <= tiers[i]) {
            result.Parts = i + 1;
            result.Limit = tiers[i];
            break;
        }
    }
    result.TextTooLong = result.Count > result.Limit;
    return result;
}

QString WithCrLfLineBreaks(QStringView text)
{
    QString out;
    out.reserve(text.size() + text.count(u'\n') + 1);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (ch == u'\r') {
            out.append(u"\r\n");
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else if (ch == u'\n') {
            out.append(u"\r\n");
        } else {
            out.append(ch);
        }
    }
    return out;
}

QByteArray BuildSendText(QStringView text, bool isUnicode)
{
    QByteArray out;
    if (!isUnicode) {
        out.resize(text.size());
        char* p = out.data();
        for (const QChar ch : text) {
            const int b = ch.unicode() == 0 ? -1 : Win1252Byte(ch.unicode());
            *p++ = static_cast<char>(b < 0 ? '?' : b);
        }
        return out;
    }
    out.resize((text.size() + 1) * 4);
    char* p = out.data();
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        *p++ = kHexDigits[(u >> 12) & 0xF];
        *p++ = kHexDigits[(u >> 8) & 0xF];
        *p++ = kHexDigits[(u >> 4) & 0xF];
        *p++ = kHexDigits[u & 0xF];
    }
    for (int i = 0; i < 4; ++i)
        *p++ = '0';
    return out;
}
