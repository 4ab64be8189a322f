#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// The members' numbers of a phone-book list, in the order read; empty when the list cannot be
// read. The main window and brelmont-cli pass the phone book's LoadListIntoMemory (or the remote
// phone book) through this, so composition does not depend on the phone book.
using ListMembersReader = std::function<QStringList(const QString& listName)>;

// The three results the main window keeps after every change of the recipients.
struct TDestinations
{
    int UniqueRecipients = 0;
    int DuplicateRecipients = 0;
    int DroppedNumbers = 0;      // not a positive 64-bit value: neither sent nor counted
    QString DestinationString;   // "+digits;" for every unique number, in first-met order
    QStringList RejectedNumbers; // typed numbers the cleaning rejected (BuildDestinations of typed numbers)
    QStringList DroppedNumberTexts; // the dropped numbers as given; DroppedProblem tells why
};

// Collects destination numbers: each one read as a 64-bit value, kept once by value in the order
// first met. Linear overall (an open-addressing hash set), whatever the number of recipients.
class TDestinationBuilder
{
public:
    explicit TDestinationBuilder(qsizetype expected = 0);
    // Returns false when the number was a duplicate or was dropped.
    bool Add(QStringView number);
    TDestinations Finish() const;

    int UniqueRecipients() const { return static_cast<int>(m_values.size()); }
    int DuplicateRecipients() const { return m_duplicates; }

private:
    bool Insert(qint64 value);
    void Grow();

    std::vector<qint64> m_values; // in first-met order
    std::vector<qint64> m_slots;  // 0 marks a free slot; values are always positive
    int m_duplicates = 0;
    QStringList m_dropped; // as given
};

// One row of the recipients panel.
enum class RecipientKind
{
    Contact,
    List,
    Number
};
struct TRecipient
{
    RecipientKind Kind = RecipientKind::Number;
    QString Number;             // contact or hand-added number (blanks removed)
    QString ListName;           // list: its name, as the phone book knows it
    int Count = 0;              // list: its member count
    const void* Node = nullptr; // the contacts-tree node it came from (contact, list), or null
};

// The recipients panel without the widget: contacts and lists from the phone-book tree and
// numbers added by hand, in the order added.
class TRecipientsModel
{
public:
    // A tree node already listed is not added again (returns false).
    bool AddContact(const QString& number, const void* node = nullptr);
    // A list with no members is not added (returns false).
    bool AddList(const QString& listName, int count, const void* node = nullptr);
    void AddNumber(const QString& cleanedNumber);
    // Adds every accepted number of a pasted list; returns how many.
    int AddPastedNumbers(QStringView text);
    void RemoveAt(int index);
    void Clear() { m_items.clear(); }

    bool ContainsNode(const void* node) const;
    const std::vector<TRecipient>& Items() const { return m_items; }
    int Size() const { return static_cast<int>(m_items.size()); }

    TDestinations BuildDestinations(const ListMembersReader& readList) const;

private:
    std::vector<TRecipient> m_items;
};

// Merges the recipients into one destination string, across contacts, list members and typed
// numbers, discarding duplicates by numeric value. Lists are read through readList (none read
// when it is empty); their members' numbers lose their blanks, as a contact's number does.
TDestinations BuildDestinations(const std::vector<TRecipient>& recipients, const ListMembersReader& readList);

// Numbers given as command arguments: a value may hold several, separated by ";" or ",";
// blanks around each are dropped, and empty ones are skipped.
QStringList SplitNumberArguments(const QStringList& values);

// For callers without a recipients panel (brelmont-cli send): typed numbers are cleaned
// (rejected ones are listed in RejectedNumbers), then the lists' members follow in order.
TDestinations BuildDestinations(const QStringList& typedNumbers, const QStringList& listNames,
                                const ListMembersReader& readList);
// The same with more typed numbers after typedNumbers: numberLines holds them one a line, or
// several on a line as SplitNumberArguments takes a value (brelmont-cli count --numbers-file).
TDestinations BuildDestinations(const QStringList& typedNumbers, QStringView numberLines,
                                const QStringList& listNames, const ListMembersReader& readList);
