#include "cli/CliCommand.h"
#include "phonebook/ContactsTree.h"
#include "phonebook/PhoneBook.h"
#include "phonebook/PreviousPhoneBook.h"
#include "settings/SettingsHolder.h"

#include <QFileInfo>

namespace {

void PrintUsage(QTextStream& err)
{
    err << "usage: brelmont-cli phonebook dump\n"
           "       brelmont-cli phonebook add NAME NUMBER\n"
           "       brelmont-cli phonebook rebuild\n"
           "       brelmont-cli phonebook import-legacy FILE [--replace]\n"
           "import-legacy reads a previous-version XML phone book (and its list files beside it) the way "
           "the\n"
           "first start does, rewriting FILE in the current layout when another version wrote it.\n"
           "rebuild loads the phone book and writes it again whole, as the program does after edits.\n";
}

void PrintNode(const TContactNode* node, const QString& contactsWord, const QString& indent, QTextStream& out)
{
    const TContactData& d = node->Data();
    out << indent << (d.IsList() ? "list" : "contact") << '\t' << d.ID << '\t'
        << ContactCaption(d, contactsWord) << '\t' << (d.IsList() ? QString::number(d.Count) : d.Number)
        << '\n';
}

int Add(TPhoneBook& book, const QString& name, const QString& number, CliIo io)
{
    if (number.trimmed().isEmpty()) {
        io.err << "brelmont-cli: a contact needs a number\n";
        return CliBadArguments;
    }
    TContactData contact;
    contact.NickName = name;
    contact.Number = number;
    if (!book.InsertContact(nullptr, contact)) {
        io.err << "brelmont-cli: " << book.LastError() << '\n';
        return CliRefused;
    }
    io.out << "added contact " << contact.ID << '\n';
    return CliOk;
}

// The counts of a tree: top-level contacts, lists and their members.
struct TTreeCounts
{
    int contacts = 0;
    int lists = 0;
    int members = 0;
};

TTreeCounts CountsOf(const TContactsTree& tree)
{
    TTreeCounts counts;
    for (int r = 0; r < tree.TopLevelCount(); ++r) {
        if (tree.TopLevel(r)->IsList()) {
            ++counts.lists;
            counts.members += tree.TopLevel(r)->ChildCount();
        } else {
            ++counts.contacts;
        }
    }
    return counts;
}

int Rebuild(TPhoneBook& book, TContactsTree& tree, CliIo io)
{
    if (!book.RebuildPhoneBook(tree)) {
        io.err << "brelmont-cli: " << book.LastError() << '\n';
        return CliRefused;
    }
    const TTreeCounts counts = CountsOf(tree);
    io.out << "rewrote " << counts.contacts << " contacts and " << counts.lists << " lists with "
           << counts.members << " members\n";
    return CliOk;
}

int ImportLegacy(TPhoneBook& book, TContactsTree& tree, const QString& file, bool replace, CliIo io)
{
    if (!QFileInfo(file).isFile()) {
        io.err << "brelmont-cli: no such file: " << file << '\n';
        return CliRefused;
    }
    if (tree.TopLevelCount() > 0 && !replace) {
        io.err << "brelmont-cli: the phone book already holds " << tree.TopLevelCount()
               << " entries; add --replace to replace them with the imported ones\n";
        return CliRefused;
    }
    tree.Clear(); // the import replaces the phone book, also when the file has no contacts section
    TPreviousPhoneBook previous(file);
    if (!previous.ImportPreviousPhoneBook(file, tree)) {
        io.err << "brelmont-cli: " << previous.LastError() << "\nbrelmont-cli: nothing was written\n";
        return CliRefused;
    }
    if (!book.RebuildPhoneBook(tree) || !book.LoadPhoneBook(tree)) {
        io.err << "brelmont-cli: " << book.LastError() << '\n';
        return CliRefused;
    }
    const TTreeCounts counts = CountsOf(tree);
    io.out << "imported " << counts.contacts << " contacts and " << counts.lists << " lists with "
           << counts.members << " members\n";
    return CliOk;
}

} // namespace

void PrintContactsTree(const TContactsTree& tree, CliIo io)
{
    TSettingsHolder holder;
    holder.LoadSettings(false);
    const QString word = ContactsWord(holder.GetLanguage(QStringLiteral("ENG")));
    for (int r = 0; r < tree.TopLevelCount(); ++r) {
        const TContactNode* node = tree.TopLevel(r);
        PrintNode(node, word, QString(), io.out);
        for (int c = 0; c < node->ChildCount(); ++c)
            PrintNode(node->Child(c), word, QStringLiteral("  "), io.out);
    }
}

int RunPhonebookCommand(const QStringList& args, CliIo io, const QString& phoneBookFile)
{
    const QString verb = args.value(0);
    const bool replace = verb == u"import-legacy" && args.size() == 3 && args[2] == u"--replace";
    const bool valid = ((verb == u"dump" || verb == u"rebuild") && args.size() == 1) ||
                       (verb == u"add" && args.size() == 3) ||
                       (verb == u"import-legacy" && (args.size() == 2 || replace));
    if (!valid) {
        PrintUsage(io.err);
        return CliBadArguments;
    }
    TPhoneBook book = phoneBookFile.isEmpty() ? TPhoneBook() : TPhoneBook(phoneBookFile, QString());
    TContactsTree tree;
    // As the program does when it fills its tree; a file it cannot read is reported, and kept aside.
    if (!book.LoadPhoneBook(tree)) {
        io.err << "brelmont-cli: " << book.LastError() << '\n';
        // A file kept aside left a new, empty phone book: nothing of the old one to rewrite.
        if (book.QuarantinedFile().isEmpty() || verb == u"rebuild")
            return CliRefused;
    }
    if (verb == u"rebuild")
        return Rebuild(book, tree, io);
    if (verb == u"dump") {
        PrintContactsTree(tree, io);
        return CliOk;
    }
    if (verb == u"add")
        return Add(book, args[1], args[2], io);
    return ImportLegacy(book, tree, args[1], replace, io);
}
