#include "cli/PhoneBookLists.h"

#include "phonebook/PhoneBook.h"

std::function<QStringList(const QString&)> PhoneBookListReader(const QString& phoneBookFile)
{
    return [phoneBookFile](const QString& listName) {
        TPhoneBook book = phoneBookFile.isEmpty() ? TPhoneBook() : TPhoneBook(phoneBookFile, QString());
        QList<TContactData> members;
        QStringList numbers;
        if (book.LoadListIntoMemory(members, listName, false)) {
            numbers.reserve(members.size());
            for (const TContactData& member : members)
                numbers.append(member.Number);
        }
        return numbers;
    };
}
