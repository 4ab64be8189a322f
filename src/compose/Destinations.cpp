#include "compose/Destinations.h"

#include "compose/PhoneNumber.h"

#include <QVarLengthArray>
#include <algorithm>

namespace {

quint64 Mix(qint64 value)
{
    auto x = static_cast<quint64>(value);
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    return x;
}

QString WithoutBlanks(const QString& number)
{
    QString out = number;
    out.removeIf([](QChar c) { return c.isSpace(); });
    return out;
}

// Members are taken like a contact's number: blanks removed (numbers of an old phone book may
// hold them), so the same number counts the same from either source.
void AddListMembers(TDestinationBuilder& builder, const QString& listName, const ListMembersReader& readList)
{
    const QStringList members = readList(listName);
    for (const QString& number : members)
        builder.Add(WithoutBlanks(number));
}

// The numbers of a value: the pieces between ';' and ',' (and line breaks, for the lines of a
// file), blanks around them dropped, empty ones skipped.
template <typename Take> void ForEachNumberOf(QStringView value, bool lines, Take&& take)
{
    const QChar* text = value.data();
    const qsizetype size = value.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i <= size; ++i) {
        if (i < size) {
            const char16_t c = text[i].unicode();
            if (c != u';' && c != u',' && !(lines && c == u'\n'))
                continue;
        }
        const QStringView number = QStringView(text + start, i - start).trimmed();
        if (!number.isEmpty())
            take(number);
        start = i + 1;
    }
}

} // namespace

TDestinationBuilder::TDestinationBuilder(qsizetype expected)
{
    m_values.reserve(static_cast<size_t>(expected));
    size_t slotCount = 64;
    while (slotCount < static_cast<size_t>(expected) * 2)
        slotCount *= 2;
    m_slots.assign(slotCount, 0);
}

bool TDestinationBuilder::Add(QStringView number)
{
    const qint64 value = DestinationValue(number);
    if (value <= 0) {
        m_dropped.append(number.toString());
        return false;
    }
    if (!Insert(value)) {
        ++m_duplicates;
        return false;
    }
    m_values.push_back(value);
    return true;
}

bool TDestinationBuilder::Insert(qint64 value)
{
    if ((m_values.size() + 1) * 2 > m_slots.size())
        Grow();
    const size_t mask = m_slots.size() - 1;
    for (size_t i = Mix(value) & mask;; i = (i + 1) & mask) {
        if (m_slots[i] == value)
            return false;
        if (m_slots[i] == 0) {
            m_slots[i] = value;
            return true;
        }
    }
}

void TDestinationBuilder::Grow()
{
    std::vector<qint64> old(m_slots.size() * 2, 0);
    old.swap(m_slots);
    const size_t mask = m_slots.size() - 1;
    for (qint64 v : old) {
        if (v == 0)
            continue;
        size_t i = Mix(v) & mask;
        while (m_slots[i] != 0)
            i = (i + 1) & mask;
        m_slots[i] = v;
    }
}

TDestinations TDestinationBuilder::Finish() const
{
    TDestinations d;
    d.UniqueRecipients = UniqueRecipients();
    d.DuplicateRecipients = m_duplicates;
    d.DroppedNumbers = static_cast<int>(m_dropped.size());
    d.DroppedNumberTexts = m_dropped;
    // "+" + at most 18 digits + ";" per number, written without temporary strings.
    d.DestinationString.resize(static_cast<qsizetype>(m_values.size()) * 20);
    QChar* out = d.DestinationString.data();
    QChar* p = out;
    char16_t digits[20];
    for (qint64 v : m_values) {
        int n = 0;
        for (; v > 0; v /= 10)
            digits[n++] = static_cast<char16_t>(u'0' + v % 10);
        *p++ = u'+';
        while (n > 0)
            *p++ = digits[--n];
        *p++ = u';';
    }
    d.DestinationString.truncate(p - out);
    return d;
}

bool TRecipientsModel::AddContact(const QString& number, const void* node)
{
    if (node && ContainsNode(node))
        return false;
    m_items.push_back({RecipientKind::Contact, WithoutBlanks(number), QString(), 0, node});
    return true;
}

bool TRecipientsModel::AddList(const QString& listName, int count, const void* node)
{
    if (count <= 0 || (node && ContainsNode(node)))
        return false;
    m_items.push_back({RecipientKind::List, QString(), listName, count, node});
    return true;
}

void TRecipientsModel::AddNumber(const QString& cleanedNumber)
{
    m_items.push_back({RecipientKind::Number, WithoutBlanks(cleanedNumber), QString(), 0, nullptr});
}

int TRecipientsModel::AddPastedNumbers(QStringView text)
{
    const QStringList numbers = ParseNumberList(text);
    for (const QString& n : numbers)
        AddNumber(n);
    return static_cast<int>(numbers.size());
}

void TRecipientsModel::RemoveAt(int index)
{
    if (index >= 0 && index < Size())
        m_items.erase(m_items.begin() + index);
}

bool TRecipientsModel::ContainsNode(const void* node) const
{
    return std::any_of(m_items.begin(), m_items.end(),
                       [node](const TRecipient& r) { return r.Node == node; });
}

TDestinations TRecipientsModel::BuildDestinations(const ListMembersReader& readList) const
{
    return ::BuildDestinations(m_items, readList);
}

TDestinations BuildDestinations(const std::vector<TRecipient>& recipients, const ListMembersReader& readList)
{
    TDestinationBuilder builder(static_cast<qsizetype>(recipients.size()));
    for (const TRecipient& r : recipients) {
        if (r.Kind != RecipientKind::List) {
            builder.Add(r.Number);
        } else if (readList) {
            AddListMembers(builder, r.ListName, readList);
        }
    }
    return builder.Finish();
}

TDestinations BuildDestinations(const QStringList& typedNumbers, const QStringList& listNames,
                                const ListMembersReader& readList)
{
    return BuildDestinations(typedNumbers, QStringView(), listNames, readList);
}

TDestinations BuildDestinations(const QStringList& typedNumbers, QStringView numberLines,
                                const QStringList& listNames, const ListMembersReader& readList)
{
    // A number is cleaned in a buffer of its own: a million typed numbers make no million strings.
    const auto lineCount = std::count(numberLines.begin(), numberLines.end(), u'\n');
    TDestinationBuilder builder(typedNumbers.size() + lineCount + 1 + listNames.size());
    QStringList rejected;
    QVarLengthArray<char16_t, 64> cleaned;
    const auto typed = [&](QStringView number) {
        cleaned.resize(number.size());
        bool accepted = false;
        const qsizetype length = CleanPhoneNumberInto(number, cleaned.data(), &accepted);
        if (accepted)
            builder.Add(QStringView(cleaned.constData(), length));
        else
            rejected.append(number.toString());
    };
    for (const QString& number : typedNumbers)
        typed(number);
    ForEachNumberOf(numberLines, true, typed);
    if (readList)
        for (const QString& name : listNames)
            AddListMembers(builder, name, readList);
    TDestinations d = builder.Finish();
    d.RejectedNumbers = rejected;
    return d;
}

QStringList SplitNumberArguments(const QStringList& values)
{
    QStringList numbers;
    for (const QString& value : values)
        ForEachNumberOf(value, false, [&numbers](QStringView number) { numbers.append(number.toString()); });
    return numbers;
}
