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

// What one unit adds to the GSM count, plus one (CR 0, basic 1, extension 2), with a bit for
// Unicode units.
constexpr unsigned kCostMask = 3;
constexpr unsigned kUnicodeBit = 4;

int HighClass(char16_t unit);

// One byte per UTF-16 code unit (64 KB), so the counting loop is a plain lookup.
std::array<std::uint8_t, 0x10000> MakeCostTable()
{
    std::array<std::uint8_t, 0x10000> t{};
    for (int u = 0; u < 0x10000; ++u) {
        const int cls = u < 0x100 ? kLowTable[u] : HighClass(static_cast<char16_t>(u));
        t[u] = cls == gcBasic ? 1 : cls == gcExtension ? 2 : (kUnicodeBit | 1);
    }
    t[0x0D] = 0;
    return t;
}

const std::uint8_t* CostTable()
{
    static const std::array<std::uint8_t, 0x10000> table = MakeCostTable();
    return table.data();
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

} // namespace

int GsmCharClass(char16_t unit)
{
    return unit < 0x100 ? kLowTable[unit] : HighClass(unit);
}

namespace {

int HighClass(char16_t unit)
{
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

} // namespace

TTextCount CountMessageText(QStringView text)
{
    // Blocks of units are summed branch-free through the cost table; a block that saw a Unicode unit
    // ends the scan, since a Unicode text counts its units.
    constexpr qsizetype kBlock = 4096;
    const std::uint8_t* const kCost = CostTable();
    const char16_t* units = text.utf16();
    const qsizetype size = text.size();
    qsizetype extra = 0;
    bool unicode = false;
    for (qsizetype begin = 0; begin < size && !unicode; begin += kBlock) {
        const qsizetype end = qMin(size, begin + kBlock);
        unsigned cost = 0;
        unsigned seen = 0;
        for (qsizetype i = begin; i < end; ++i) {
            const unsigned c = kCost[units[i]];
            cost += c & kCostMask;
            seen |= c;
        }
        unicode = (seen & kUnicodeBit) != 0;
        extra += qsizetype(cost) - (end - begin);
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
