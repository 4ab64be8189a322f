#pragma once

#include <QString>

// One contact or list: the record of a contacts-tree node, and what the phone-book
// operations, the list manager and the imports pass around.
struct TContactData
{
    enum : quint8 { KindContact = 0, KindList = 1 };
    enum : quint8 { Mobile = 0, Home = 1, Office = 2 };
    static constexpr qint32 ContactImage = 1;
    static constexpr qint32 ListImage = 15;

    qint32 ID = -1;
    quint8 Kind = KindContact;
    QString FirstName;
    QString LastName;
    QString NickName;
    QString Number;
    qint32 Count = 0;
    quint8 PhoneType = Mobile;
    qint32 ImageIndex = ContactImage;

    bool IsList() const { return Kind == KindList; }
    bool operator==(const TContactData&) const = default;
};
