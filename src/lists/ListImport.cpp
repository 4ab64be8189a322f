#include "lists/ListImport.h"

#include "compose/PhoneNumber.h"
#include "lists/ListRecords.h"
#include "phonebook/PhoneBook.h"
#include "phonebook/SQLiteDatabase.h"

#include <QRegularExpression>
#include <algorithm>
#include <vector>

qsizetype CleanImportNumbers(QList<TContactData>& records)
{
    qsizetype first = -1;
    QString result;
    for (qsizetype i = 0; i < records.size(); ++i) {
        CleanPhoneNumber(records[i].Number, result);
        if (first < 0 && !result.isEmpty() && !result.startsWith(u'+'))
            first = i;
    }
    return first;
}

void ApplyImportPrefix(QList<TContactData>& records, const QString& prefix)
{
    for (TContactData& record : records)
        record.Number = ApplyDefaultPrefix(record.Number, prefix);
}

bool IsImportableNumber(const QString& cleaned)
{
    QString number = cleaned;
    QString result;
    CleanPhoneNumber(number, result);
    return !result.isEmpty() && DestinationValue(result) > 0;
}

bool IsUsablePrefix(const QString& prefix)
{
    static const QRegularExpression pattern(QStringLiteral("^\\+[0-9]{1,6}$"));
    return pattern.match(prefix).hasMatch();
}

namespace {
// Counts of marked positions over a prefix of positions (a Fenwick tree).
class TPositionCounts
{
public:
    explicit TPositionCounts(qsizetype size) : m_tree(size_t(size) + 1, 0) {}
    void Mark(qsizetype position)
    {
        for (size_t i = size_t(position) + 1; i < m_tree.size(); i += i & (~i + 1))
            ++m_tree[i];
    }
    // Marked positions in [from, to).
    qsizetype Between(qsizetype from, qsizetype to) const
    {
        return to <= from ? 0 : Before(to) - Before(from);
    }

private:
    qsizetype Before(qsizetype end) const
    {
        qsizetype sum = 0;
        for (size_t i = size_t(end); i > 0; i -= i & (~i + 1))
            sum += m_tree[i];
        return sum;
    }
    std::vector<quint32> m_tree; // 32-bit counts: half the memory the marks walk through
};

// A number's first 15 characters, 4 bits each in order (0 after its end), and in the lowest
// bits whether it goes on after them: ordering the keys orders the numbers byte by byte as long
// as they hold only '+' and digits, which is all a cleaned number holds. nullopt for a number
// with any other character.
constexpr quint64 kLongKey = 1;

std::optional<quint64> PackedKey(const QString& number)
{
    quint64 key = 0;
    const qsizetype length = number.size();
    for (qsizetype i = 0; i < 15; ++i) {
        quint64 code = 0;
        if (i < length) {
            const char16_t c = number[i].unicode();
            if (c == u'+')
                code = 1;
            else if (c >= u'0' && c <= u'9')
                code = 2 + (c - u'0');
            else
                return std::nullopt;
        }
        key = (key << 4) | code;
    }
    for (qsizetype i = 15; i < length; ++i)
        if (number[i] != u'+' && (number[i] < u'0' || number[i] > u'9'))
            return std::nullopt;
    return (key << 4) | (length > 15 ? kLongKey : 0);
}

struct TSortKey
{
    quint64 key;
    qsizetype position;
};

// Calls step once per 200 counted records.
class TStepper
{
public:
    explicit TStepper(const TImportStep& step) : m_step(step) {}
    void Count()
    {
        if (m_step && m_done++ % 200 == 0)
            m_step();
    }

private:
    const TImportStep& m_step;
    qsizetype m_done = 0;
};

// Which of the positions (ascending) holding one number the exchange sort puts first.
// In every pass the sort consumes the first remaining smaller number; while numbers equal to
// this one stand before it, the first of those moves to where that smaller number stood,
// behind the others. So the equal numbers form a growing block that turns by one for each
// smaller number met after it: undoing the turns from the end finds the block's final head.
qsizetype FirstAfterExchangeSort(const std::vector<qsizetype>& positions, qsizetype count,
                                 const TPositionCounts& smaller)
{
    const qsizetype b = qsizetype(positions.size());
    qsizetype head = 0;
    for (qsizetype j = b; j >= 1; --j) {
        const qsizetype from = positions[size_t(j - 1)] + 1;
        const qsizetype to = j < b ? positions[size_t(j)] : count;
        head = (head + smaller.Between(from, to)) % j;
        if (head == j - 1)
            return positions[size_t(j - 1)];
    }
    return positions.front();
}
} // namespace

TImportCounts SelectImportMembers(const QList<TContactData>& records, QList<TContactData>& members,
                                  const TImportStep& step)
{
    members.clear();
    std::vector<qsizetype> taking; // indices of the records that take part, in file order
    taking.reserve(size_t(records.size()));
    for (qsizetype i = 0; i < records.size(); ++i)
        if (records[i].ID != kNoPartID)
            taking.push_back(i);
    const qsizetype n = qsizetype(taking.size());
    const auto number = [&](qsizetype position) -> const QString& {
        return records[taking[size_t(position)]].Number;
    };

    // Sorting by packed keys keeps the comparisons in one array; only numbers whose first 15
    // characters are equal and that go on further are compared as strings.
    std::vector<TSortKey> keys(static_cast<size_t>(n));
    bool packed = true;
    for (qsizetype p = 0; p < n && packed; ++p) {
        const std::optional<quint64> key = PackedKey(number(p));
        packed = key.has_value();
        keys[size_t(p)] = {key.value_or(kLongKey), p};
    }
    if (!packed) // numbers that were never cleaned: the strings decide throughout
        for (qsizetype p = 0; p < n; ++p)
            keys[size_t(p)] = {kLongKey, p};
    std::sort(keys.begin(), keys.end(), [&](const TSortKey& a, const TSortKey& b) {
        if (a.key != b.key)
            return a.key < b.key;
        if ((a.key & kLongKey) != 0) {
            const int c = QString::compare(number(a.position), number(b.position), Qt::CaseSensitive);
            if (c != 0)
                return c < 0;
        }
        return a.position < b.position;
    });
    const auto same = [&](const TSortKey& a, const TSortKey& b) {
        return a.key == b.key && ((a.key & kLongKey) == 0 || number(a.position) == number(b.position));
    };
    const auto blank = [&](const TSortKey& k) {
        return packed ? k.key == 0 : number(k.position).trimmed().isEmpty();
    };

    // Groups of equal numbers in ascending order: [begin, end) of keys, and the taken position.
    struct TGroup
    {
        qsizetype begin, end, taken;
    };
    std::vector<TGroup> groups;
    TPositionCounts smaller(n);
    TStepper sorting(step);
    std::vector<qsizetype> positions;
    for (qsizetype g = 0; g < n;) {
        qsizetype end = g + 1;
        while (end < n && same(keys[size_t(end)], keys[size_t(g)]))
            ++end;
        positions.clear();
        for (qsizetype k = g; k < end; ++k)
            positions.push_back(keys[size_t(k)].position);
        const qsizetype taken =
            positions.size() == 1 ? positions.front() : FirstAfterExchangeSort(positions, n, smaller);
        for (qsizetype p : positions) {
            smaller.Mark(p);
            sorting.Count();
        }
        groups.push_back({g, end, taken});
        g = end;
    }

    // The taken records are read in file order, where they lie close together in memory: once
    // to clean their numbers, once to put the valid ones in their group's place among the
    // members, which come out in descending order of number.
    TImportCounts counts;
    std::vector<qsizetype> groupOf(static_cast<size_t>(n), -1);
    for (size_t g = 0; g < groups.size(); ++g) {
        groupOf[size_t(groups[g].taken)] = qsizetype(g);
        for (qsizetype k = groups[g].begin + 1; k < groups[g].end; ++k)
            ++(blank(keys[size_t(k)]) ? counts.Wrong : counts.Duplicates);
    }
    std::vector<QString> cleanedOf(groups.size());
    std::vector<bool> valid(groups.size(), false);
    TStepper walking(step);
    QString result;
    for (qsizetype p = 0; p < n; ++p) {
        walking.Count();
        const qsizetype g = groupOf[size_t(p)];
        if (g < 0)
            continue;
        QString cleaned = records[taking[size_t(p)]].Number;
        CleanPhoneNumber(cleaned, result);
        if (result.isEmpty() || DestinationValue(result) <= 0) {
            ++counts.Wrong;
            continue;
        }
        cleanedOf[size_t(g)] = std::move(cleaned);
        valid[size_t(g)] = true;
    }
    std::vector<qsizetype> place(groups.size(), -1);
    qsizetype placed = 0;
    for (qsizetype g = qsizetype(groups.size()) - 1; g >= 0; --g)
        if (valid[size_t(g)])
            place[size_t(g)] = placed++;
    members.resize(placed);
    for (qsizetype p = 0; p < n; ++p) {
        const qsizetype g = groupOf[size_t(p)];
        if (g < 0 || !valid[size_t(g)])
            continue;
        TContactData& member = members[place[size_t(g)]];
        member = records[taking[size_t(p)]];
        member.Number = std::move(cleanedOf[size_t(g)]);
        member.Kind = TContactData::KindContact;
        member.PhoneType = TContactData::Mobile;
    }
    counts.Imported = int(members.size());
    return counts;
}

std::optional<qint32> SaveImportedList(TPhoneBook& book, const QString& name,
                                       const QList<TContactData>& members, bool isNew,
                                       const TImportStep& step, QString* error)
{
    try {
        return book.SaveListTable(name, members, isNew, [&step](int) {
            if (step)
                step();
        });
    } catch (const ESQLiteException& e) {
        if (error)
            *error = e.Message();
        return std::nullopt;
    }
}
