#pragma once

#include <QString>

// Where the previous version's XML phone book is looked for: the setting "ContactsFile" as it
// is, a relative name (the default "PBook.xml") inside the program's data folder, where a user
// brings the files of the previous version.
QString PreviousBookPath(const QString& contactsFile);
