#include "compose/PhoneNumber.h"

#include <QVarLengthArray>
#include <algorithm>

namespace {

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// A character that ends a piece of a pasted list (besides ';').
bool IsBlankOrControl(QChar c)
{
    return c.unicode() <= 0x20;
}

} // namespace

qsizetype CleanPhoneNumberInto(QStringView number, char16_t* out, bool* accepted)
{
    // One pass: keep the digits and a "+" at the very first position.
    qsizetype length = 0;
    for (qsizetype i = 0; i < number.size(); ++i) {
        const char16_t c = number[i].unicode();
        if (IsDigit(number[i]) || (i == 0 && c == u'+'))
            out[length++] = c;
    }
    // "00" in front becomes "+"; otherwise one leading "0" goes.
    if (length >= 2 && out[0] == u'0' && out[1] == u'0') {
        out[1] = u'+';
        std::copy(out + 1, out + length, out);
        --length;
    } else if (length >= 1 && out[0] == u'0') {
        std::copy(out + 1, out + length, out);
        --length;
    }
    *accepted = length > 0 && (out[0] == u'+' || length >= 2);
    return length;
}

void CleanPhoneNumber(QString& number, QString& result)
{
    QVarLengthArray<char16_t, 64> kept(number.size());
    bool accepted = false;
    const qsizetype length = CleanPhoneNumberInto(number, kept.data(), &accepted);
    // A number that was clean already keeps its string (no copy).
    if (length != number.size())
        number = QString(reinterpret_cast<const QChar*>(kept.constData()), length);
    if (accepted)
        result = number;
    else
        result.clear();
}

QString AcceptedPhoneNumber(const QString& number)
{
    QString cleaned = number;
    QString result;
    CleanPhoneNumber(cleaned, result);
    return result;
}

bool LacksInternationalPrefix(const QString& number)
{
    const QString result = AcceptedPhoneNumber(number);
    return !result.isEmpty() && !result.startsWith(u'+');
}

QString ApplyDefaultPrefix(const QString& number, const QString& prefix)
{
    QString cleaned = number;
    QString result;
    CleanPhoneNumber(cleaned, result);
    if (result.isEmpty() || result.startsWith(u'+'))
        return cleaned;
    qsizetype zeros = 0;
    while (zeros < result.size() && result[zeros] == u'0')
        ++zeros;
    return prefix + result.mid(zeros);
}

TContactNumberCheck CheckContactNumber(const QString& prefixLabel, const QString& numberField,
                                       bool countrySelected)
{
    TContactNumberCheck check;
    check.Cleaned = prefixLabel + numberField;
    CleanPhoneNumber(check.Cleaned, check.Result);
    check.Valid = !check.Result.isEmpty();
    check.OkEnabled = check.Valid && countrySelected && !numberField.trimmed().isEmpty();
    return check;
}

QStringList ParseNumberList(QStringView text)
{
    QStringList numbers;
    QString piece;
    const auto take = [&] {
        if (piece.isEmpty())
            return;
        QString result;
        CleanPhoneNumber(piece, result);
        if (!result.isEmpty())
            numbers.append(result);
        piece.clear();
    };

    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const QChar c = text[i];
        if (c == u';' || IsBlankOrControl(c)) { // CR and LF end a line and a piece alike
            ++i;
            continue;
        }
        if (c == u'"') {
            // Quoted piece: up to the closing quote of the same line; "" stands for one quote.
            ++i;
            while (i < n && text[i] != u'\r' && text[i] != u'\n') {
                if (text[i] == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        piece.append(u'"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                piece.append(text[i++]);
            }
        } else {
            while (i < n && text[i] != u';' && !IsBlankOrControl(text[i]))
                piece.append(text[i++]);
        }
        take();
    }
    return numbers;
}

qint64 DestinationValue(QStringView number)
{
    qsizetype i = number.startsWith(u'+') ? 1 : 0;
    if (i == number.size())
        return 0;
    while (i < number.size() && number[i] == u'0')
        ++i;
    if (number.size() - i > 18)
        return 0;
    qint64 value = 0;
    for (; i < number.size(); ++i) {
        const QChar c = number[i];
        if (!IsDigit(c))
            return 0;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

QString DroppedProblem(QStringView number)
{
    if (DestinationValue(number) > 0)
        return {};
    const QStringView digits = number.startsWith(u'+') ? number.mid(1) : number;
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), IsDigit))
        return QStringLiteral("not made of digits");
    qsizetype zeros = 0;
    while (zeros < digits.size() && digits[zeros] == u'0')
        ++zeros;
    if (zeros == digits.size())
        return QStringLiteral("zero is no number");
    return QStringLiteral("more than 18 significant digits");
}
