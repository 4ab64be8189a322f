#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The member numbers of a list of the local phone book (LoadListIntoMemory), in the order read;
// empty when the list does not exist or cannot be read. An empty file name means the user's
// phone book.
std::function<QStringList(const QString& listName)>
PhoneBookListReader(const QString& phoneBookFile = QString());
