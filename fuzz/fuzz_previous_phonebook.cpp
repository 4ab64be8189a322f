// The previous version's XML phone book: the main file and a list file beside it (both this
// input), in any encoding. A file that was read and rewritten must read back the same.
#include "FuzzSupport.h"
#include "phonebook/ContactsTree.h"
#include "phonebook/PreviousPhoneBook.h"

#include <QList>

namespace {
struct TTopLevel
{
    int kind;
    QString nickName;
    QString number;
    bool operator==(const TTopLevel&) const = default;
};

QList<TTopLevel> TopLevel(const TContactsTree& tree)
{
    QList<TTopLevel> nodes;
    for (int r = 0; r < tree.TopLevelCount(); ++r) {
        const TContactData d = tree.TopLevel(r)->Data();
        nodes.append({d.Kind, d.NickName.trimmed(), d.Number.trimmed()});
    }
    return nodes;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString folder = FuzzFolder();
    const QByteArray input = FuzzBytes(data, size);
    const QString main = FuzzFile(folder, QStringLiteral("PBook.xml"), input);
    FuzzFile(folder, QStringLiteral("Amici.xml"), input);
    TPreviousPhoneBook book(main);
    TContactsTree tree;
    if (!book.ImportPreviousPhoneBook(main, tree))
        return 0;
    TContactsTree again;
    FuzzCheck(TPreviousPhoneBook(main).ImportPreviousPhoneBook(main, again), "a rewritten phone book reads");
    FuzzCheck(TopLevel(again) == TopLevel(tree), "a rewritten phone book reads back the same");
    return 0;
}
