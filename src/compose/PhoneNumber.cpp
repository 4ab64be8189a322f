#include "compose/PhoneNumber.h"

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

void CleanPhoneNumber(QString& number, QString& result)
{
    // Keep the digits and a "+" at the very first position; most numbers are clean already,
    // and then the string is kept as it is.
    bool clean = true;
    for (qsizetype i = 0; i < number.size() && clean; ++i)
        clean = IsDigit(number[i]) || (i == 0 && number[i] == u'+');
    if (!clean) {
        QString kept;
        kept.reserve(number.size());
        for (qsizetype i = 0; i < number.size(); ++i)
            if (IsDigit(number[i]) || (i == 0 && number[i] == u'+'))
                kept.append(number[i]);
        number = kept;
    }
    if (number.startsWith(u"00"))
        number.replace(0, 2, QStringLiteral("+"));
    if (number.startsWith(u'0'))
        number.remove(0, 1);
    if (number.isEmpty() || (number[0] != u'+' && number.size() < 2))
        result.clear();
    else
        result = number;
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
