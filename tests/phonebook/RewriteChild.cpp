// Helper of the atomic-rewrite test: rewrites the phone book at FILE with a tree whose
// every text carries GENERATION, so a reader can tell which rewrite a file holds.
// usage: phonebook_rewrite_child FILE GENERATION CONTACTS LISTS MEMBERS
#include "phonebook/ContactsTree.h"
#include "phonebook/PhoneBook.h"

#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    if (argc != 6)
        return 2;
    const QString file = QString::fromLocal8Bit(argv[1]);
    const QString generation = QString::fromLatin1(argv[2]);
    const int contacts = std::atoi(argv[3]);
    const int lists = std::atoi(argv[4]);
    const int members = std::atoi(argv[5]);

    TContactsTree tree;
    for (int i = 0; i < contacts; ++i) {
        TContactData d;
        d.NickName = QStringLiteral("g%1-c%2").arg(generation).arg(i, 6, 10, QLatin1Char('0'));
        d.Number = generation;
        tree.AddNode(nullptr, d);
    }
    for (int l = 0; l < lists; ++l) {
        TContactData d;
        d.Kind = TContactData::KindList;
        d.NickName = QStringLiteral("list%1").arg(l);
        d.Count = members;
        TContactNode* list = tree.AddNode(nullptr, d);
        for (int m = 0; m < members; ++m) {
            TContactData member;
            member.NickName = QStringLiteral("g%1-m%2").arg(generation).arg(m);
            member.Number = generation;
            tree.AddNode(list, member);
        }
    }
    TPhoneBook book(file, file + QStringLiteral(".legacy"));
    std::puts("ready");
    std::fflush(stdout);
    if (!book.RebuildPhoneBook(tree)) {
        std::fprintf(stderr, "%s\n", qPrintable(book.LastError()));
        return 1;
    }
    std::puts("done");
    std::fflush(stdout);
    return 0;
}
