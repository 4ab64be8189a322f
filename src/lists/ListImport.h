#pragma once

#include "phonebook/ContactData.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

class TPhoneBook;

// Called once per 200 records of a long step, from the thread doing the work.
using TImportStep = std::function<void()>;

struct TImportCounts
{
    int Imported = 0;
    int Duplicates = 0;
    int Wrong = 0;
    bool operator==(const TImportCounts&) const = default;
};

// Cleans every record's number in place and answers the index of the first record whose number
// is accepted but has no international prefix, or -1 when there is none.
qsizetype CleanImportNumbers(QList<TContactData>& records);

// Gives prefix to every record whose cleaned number is accepted and lacks one (its leading
// zeros go); other numbers are only cleaned.
void ApplyImportPrefix(QList<TContactData>& records, const QString& prefix);

// A cleaned number an import keeps: accepted by the cleaning and one a message can be sent to
// (a positive value of at most 18 significant digits), so a lone "+" or a line of a million
// digits is counted wrong instead of being stored.
bool IsImportableNumber(const QString& cleaned);

// "+" and one to six digits: a prefix a user may give on the command line.
bool IsUsablePrefix(const QString& prefix);

// The members an import stores, and its counts. Records with ID -1 take no part. Of the
// records that share a number, the one a pairwise exchange sort of the numbers (ascending,
// byte by byte) puts first is taken, the others are duplicates (or wrong when the number is
// empty); a taken number that is not importable is wrong. The members come in descending
// order of number. Runs in O(n log n); step is called once per 200 records of each of its two
// phases.
TImportCounts SelectImportMembers(const QList<TContactData>& records, QList<TContactData>& members,
                                  const TImportStep& step = {});

// Stores the members as the list's table in one transaction (the previous members stay when it
// fails). A new list also gets its row; its ID is answered. On failure: nothing, with the
// reason in error.
std::optional<qint32> SaveImportedList(TPhoneBook& book, const QString& name,
                                       const QList<TContactData>& members, bool isNew,
                                       const TImportStep& step, QString* error);
