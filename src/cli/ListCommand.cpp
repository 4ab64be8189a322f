#include "cli/CliCommand.h"
#include "lists/ContactSource.h"
#include "lists/ListExport.h"
#include "lists/ListFile.h"
#include "lists/ListImport.h"
#include "lists/ListTexts.h"
#include "phonebook/ContactsTree.h"
#include "phonebook/PhoneBook.h"
#include "settings/SettingsHolder.h"

#include <QFileInfo>

namespace {

void PrintListUsage(QTextStream& err)
{
    err << "usage: brelmont-cli list show [NAME]\n"
           "       brelmont-cli list import NAME FILE [--prefix +NN]\n"
           "       brelmont-cli list export NAME FILE\n"
           "       brelmont-cli list rename OLD NEW\n"
           "       brelmont-cli list delete NAME\n"
           "FILE: .csv or .txt (name;number per line), .xls or .xlsx. import creates the list or replaces "
           "its\n"
           "members; --prefix is given to numbers without an international prefix.\n";
}

// The command's phone book with its tree loaded; nothing when it cannot be read.
struct TLoadedBook
{
    explicit TLoadedBook(const QString& file)
        : book(file.isEmpty() ? TPhoneBook() : TPhoneBook(file, QString()))
    {
    }
    TPhoneBook book;
    TContactsTree tree;
};

bool Load(TLoadedBook& loaded, CliIo io, TPhoneBook::TListMembers members = TPhoneBook::TListMembers::Load)
{
    if (loaded.book.LoadPhoneBook(loaded.tree, members))
        return true;
    io.err << "brelmont-cli: " << loaded.book.LastError() << '\n';
    return !loaded.book.QuarantinedFile().isEmpty();
}

// The list of that name: the exact spelling first, else the one that differs only in letter case.
const TContactNode* FindList(const TContactsTree& tree, const QString& name)
{
    const TContactNode* folded = nullptr;
    for (int r = 0; r < tree.TopLevelCount(); ++r) {
        const TContactNode* node = tree.TopLevel(r);
        if (!node->Data().IsList())
            continue;
        if (node->Data().NickName == name)
            return node;
        if (!folded && node->Data().NickName.compare(name, Qt::CaseInsensitive) == 0)
            folded = node;
    }
    return folded;
}

QStringList ListNamesOf(const TContactsTree& tree, const QString& except = QString())
{
    QStringList names;
    for (int r = 0; r < tree.TopLevelCount(); ++r)
        if (tree.TopLevel(r)->Data().IsList() && tree.TopLevel(r)->Data().NickName != except)
            names.append(tree.TopLevel(r)->Data().NickName);
    return names;
}

int NoSuchList(const QString& name, CliIo io)
{
    io.err << "brelmont-cli: there is no list called \"" << name << "\"\n";
    return CliRefused;
}

QString Language()
{
    TSettingsHolder holder;
    holder.LoadSettings(false);
    return holder.GetLanguage(QStringLiteral("ENG"));
}

// Takes "--prefix +NN" out of args; false (with the reason printed) when it is malformed.
bool TakePrefix(QStringList& args, QString& prefix, CliIo io)
{
    const qsizetype at = args.indexOf(QStringLiteral("--prefix"));
    if (at < 0)
        return true;
    prefix = args.value(at + 1);
    args.remove(at, qMin<qsizetype>(2, args.size() - at));
    if (IsUsablePrefix(prefix))
        return true;
    io.err << "brelmont-cli: --prefix needs \"+\" and the country's digits, such as +39\n";
    return false;
}

int FileError(const TReadError& error, const QString& file, CliIo io)
{
    io.err << "brelmont-cli: cannot read " << file << ": " << error.Detail << '\n';
    return error.What == TReadError::Unsupported ? CliBadArguments : CliRefused;
}

void PrintWarnings(const QStringList& warnings, CliIo io)
{
    for (const QString& warning : warnings)
        io.err << "brelmont-cli: note: " << warning << '\n';
}

int MissingPrefix(const QString& number, CliIo io)
{
    io.err << "brelmont-cli: the number " << number
           << " has no international prefix; give one with --prefix +NN. Nothing was written.\n";
    return CliBadArguments;
}

int Show(TLoadedBook& loaded, const QStringList& args, CliIo io)
{
    if (args.isEmpty()) {
        for (int r = 0; r < loaded.tree.TopLevelCount(); ++r) {
            const TContactData& d = loaded.tree.TopLevel(r)->Data();
            if (d.IsList())
                io.out << d.NickName << '\t' << d.Count << '\n';
        }
        return CliOk;
    }
    const TContactNode* list = FindList(loaded.tree, args[0]);
    if (!list)
        return NoSuchList(args[0], io);
    QList<TContactData> members;
    if (!loaded.book.LoadListIntoMemory(members, list->Data().NickName, false)) {
        io.err << "brelmont-cli: " << loaded.book.LastError() << '\n';
        return CliRefused;
    }
    for (const TContactData& m : members)
        io.out << m.Number << '\t' << m.NickName << '\n';
    return CliOk;
}

int Import(TLoadedBook& loaded, const QString& name, const QString& file, const QString& prefix, CliIo io)
{
    const TContactNode* list = FindList(loaded.tree, name);
    const QString listName = list ? list->Data().NickName : name;
    if (!list) {
        if (const QString problem = TPhoneBook::ListNameProblem(name, ListNamesOf(loaded.tree));
            !problem.isEmpty()) {
            io.err << "brelmont-cli: " << problem << '\n';
            return CliBadArguments;
        }
    }
    TListFileRecords read = ReadListFile(file);
    if (read.Error)
        return FileError(read.Error, file, io);
    PrintWarnings(read.Warnings, io);
    const qsizetype lacking = CleanImportNumbers(read.Records);
    if (lacking >= 0 && prefix.isEmpty())
        return MissingPrefix(read.Records[lacking].Number, io);
    if (!prefix.isEmpty())
        ApplyImportPrefix(read.Records, prefix);
    QList<TContactData> members;
    const TImportCounts counts = SelectImportMembers(read.Records, members);
    QString error;
    if (!SaveImportedList(loaded.book, listName, members, !list, {}, &error)) {
        io.err << "brelmont-cli: " << error << "\nbrelmont-cli: nothing was written\n";
        return CliRefused;
    }
    io.out << ImportSummaryText(Language(), counts).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
           << '\n';
    return CliOk;
}

int Export(TLoadedBook& loaded, const QString& name, const QString& file, CliIo io)
{
    const TContactNode* list = FindList(loaded.tree, name);
    if (!list)
        return NoSuchList(name, io);
    QList<TContactData> members;
    if (!loaded.book.LoadListIntoMemory(members, list->Data().NickName, false)) {
        io.err << "brelmont-cli: " << loaded.book.LastError() << '\n';
        return CliRefused;
    }
    const QString path = ExportFileName(file);
    QString error;
    if (!WriteListExport(path, members, &error)) {
        io.err << "brelmont-cli: cannot write " << path << ": " << error << '\n';
        return CliRefused;
    }
    io.out << "exported " << members.size() << " members to " << path << '\n';
    return CliOk;
}

int Rename(TLoadedBook& loaded, const QString& oldName, const QString& newName, CliIo io)
{
    const TContactNode* list = FindList(loaded.tree, oldName);
    if (!list)
        return NoSuchList(oldName, io);
    const QString current = list->Data().NickName;
    if (newName == current)
        return CliOk;
    if (const QString problem = TPhoneBook::ListNameProblem(newName, ListNamesOf(loaded.tree, current));
        !problem.isEmpty()) {
        io.err << "brelmont-cli: " << problem << '\n';
        return CliBadArguments;
    }
    if (!loaded.book.RenameList(list->Data().ID, current, newName)) {
        io.err << "brelmont-cli: " << loaded.book.LastError() << '\n';
        return CliRefused;
    }
    io.out << "renamed list \"" << current << "\" to \"" << newName << "\"\n";
    return CliOk;
}

int Delete(TLoadedBook& loaded, const QString& name, CliIo io)
{
    const TContactNode* list = FindList(loaded.tree, name);
    if (!list)
        return NoSuchList(name, io);
    if (!loaded.book.DeleteList(nullptr, list->Data())) {
        io.err << "brelmont-cli: " << loaded.book.LastError() << '\n';
        return CliRefused;
    }
    io.out << "deleted list \"" << list->Data().NickName << "\"\n";
    return CliOk;
}

} // namespace

int RunListCommand(const QStringList& arguments, CliIo io, const QString& phoneBookFile)
{
    QStringList args = arguments;
    QString prefix;
    const QString verb = args.value(0);
    if (verb == u"import" && !TakePrefix(args, prefix, io))
        return CliBadArguments;
    const bool valid = (verb == u"show" && args.size() <= 2) || (verb == u"import" && args.size() == 3) ||
                       (verb == u"export" && args.size() == 3) || (verb == u"rename" && args.size() == 3) ||
                       (verb == u"delete" && args.size() == 2);
    if (!valid) {
        PrintListUsage(io.err);
        return CliBadArguments;
    }
    TLoadedBook loaded(phoneBookFile);
    // The list commands read members from the lists' tables themselves: the tree needs only
    // the lists and their counts.
    if (!Load(loaded, io, TPhoneBook::TListMembers::CountOnly))
        return CliRefused;
    args.removeFirst();
    if (verb == u"show")
        return Show(loaded, args, io);
    if (verb == u"import")
        return Import(loaded, args[0], args[1], prefix, io);
    if (verb == u"export")
        return Export(loaded, args[0], args[1], io);
    if (verb == u"rename")
        return Rename(loaded, args[0], args[1], io);
    return Delete(loaded, args[0], io);
}

int RunImportContactsCommand(const QStringList& arguments, CliIo io, const QString& phoneBookFile)
{
    QStringList args = arguments;
    QString prefix;
    if (!TakePrefix(args, prefix, io))
        return CliBadArguments;
    const bool mobileOnly = args.removeAll(QStringLiteral("--mobile-only")) > 0;
    if (args.size() != 1 || args[0].startsWith(QStringLiteral("--"))) {
        io.err << "usage: brelmont-cli phonebook import-contacts FILE [--prefix +NN] [--mobile-only]\n"
                  "FILE: a vCard file (.vcf) or an Outlook CSV export; every number becomes a contact.\n";
        return CliBadArguments;
    }
    TContactSource source = ReadContactSource(args[0]);
    if (source.Error)
        return FileError(source.Error, args[0], io);
    PrintWarnings(source.Warnings, io);
    if (mobileOnly)
        source.Lines.removeIf([](const TContactLine& line) { return !line.Mobile; });
    if (CleanContactNumbers(source.Lines)) {
        if (prefix.isEmpty()) {
            const auto lacking =
                std::find_if(source.Lines.cbegin(), source.Lines.cend(), [](const TContactLine& l) {
                    return !l.Number.isEmpty() && !l.Number.startsWith(u'+');
                });
            return MissingPrefix(lacking->Number, io);
        }
        ApplyContactPrefix(source.Lines, prefix);
    }
    TLoadedBook loaded(phoneBookFile);
    if (!Load(loaded, io))
        return CliRefused;
    QString error;
    const int added = AddContactLines(loaded.book, loaded.tree, source.Lines, &error);
    if (added < 0) {
        io.err << "brelmont-cli: " << error << "\nbrelmont-cli: nothing was written\n";
        return CliRefused;
    }
    io.out << "imported " << added << " contacts\n";
    return CliOk;
}
