#pragma once

#include "phonebook/ContactData.h"

// A list record as the phone book keeps it at the top of the tree.
inline TContactData ListRecord(const QString& name, int count = 0)
{
    TContactData d;
    d.Kind = TContactData::KindList;
    d.NickName = name;
    d.Count = count;
    d.ImageIndex = TContactData::ListImage;
    return d;
}
