#pragma once

#include "lists/ReadError.h"

#include <QList>
#include <QString>
#include <QStringList>

class TContactsTree;
class TPhoneBook;

// One telephone number of an address-book contact, as the contact import lists it.
struct TContactLine
{
    QString Name;   // the contact's full name (may be empty)
    QString Number; // as the file holds it
    bool Mobile = false;
    bool operator==(const TContactLine&) const = default;
};

// The numbers of an address-book file: one line per non-blank number, a contact's lines in the
// order business, home, mobile, other, the lines sorted by name (letter case ignored, equal
// names keeping their order).
struct TContactSource
{
    QList<TContactLine> Lines;
    TReadError Error;
    QStringList Warnings;
};

// A vCard file (2.1, 3.0, 4.0) or an Outlook CSV export ("Business Phone", "Home Phone",
// "Mobile Phone", "Other Phone" and the name columns; UTF-8 or Windows-1252, ',' ';' or tab).
// The content decides; the extension only names the format of a file that is neither.
TContactSource ReadContactSource(const QString& path);
TContactSource ReadContactSourceBytes(const QByteArray& bytes, const QString& suffix = QString());

// Cleans every line's number in place; true when a cleaned number is not empty and has no "+".
bool CleanContactNumbers(QList<TContactLine>& lines);
// Each cleaned number that is not empty and has no "+" loses its leading zeros and gets prefix.
void ApplyContactPrefix(QList<TContactLine>& lines, const QString& prefix);

// Adds the lines as single contacts to the tree (lines whose cleaned number is empty are left
// out), sorts it and rewrites the phone book from it in one transaction. Answers the number of
// contacts added, or -1 with the reason in error (the tree and the file are then as before).
int AddContactLines(TPhoneBook& book, TContactsTree& tree, const QList<TContactLine>& lines, QString* error);
