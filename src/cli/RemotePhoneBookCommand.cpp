#include "cli/CliCommand.h"
#include "phonebook/ContactsTree.h"
#include "phonebook/PhoneBook.h"
#include "phonebook/RemotePhoneBook.h"
#include "settings/SettingsHolder.h"

#include <QEventLoop>
#include <memory>

namespace {

const QString kRemote = QStringLiteral("--remote");

void PrintUsage(QTextStream& err)
{
    err << "usage: brelmont-cli phonebook dump --remote\n"
           "       brelmont-cli phonebook add --remote NICK NUMBER\n"
           "       brelmont-cli phonebook delete --remote ID\n"
           "       brelmont-cli list show --remote [NAME]\n"
           "--remote uses the provider's phone book at Endpoints\\PhoneBookServiceUrl with the stored "
           "account.\n";
}

// The module as the program creates it: endpoint and account from the settings.
std::unique_ptr<TDM_TarvoPhoneBook> OpenRemote(CliIo io)
{
    TSettingsHolder settings;
    if (!settings.LoadSettings(false)) {
        io.err << "brelmont-cli: " << settings.LastError() << '\n';
        return nullptr;
    }
    return std::make_unique<TDM_TarvoPhoneBook>(
        QUrl(settings.GetEndpoints().PhoneBookServiceUrl),
        TUserLog::ForAccount(settings.GetUserName(), settings.GetPassword()));
}

// Runs the event loop until one of the module's signals has fired. Every call of the module ends
// by its own time-out, so this never waits for ever.
template <typename... Signals> void WaitForAny(TDM_TarvoPhoneBook& remote, Signals... events)
{
    QEventLoop loop;
    (QObject::connect(&remote, events, &loop, &QEventLoop::quit), ...);
    loop.exec();
}

int Failed(const QString& problem, CliIo io)
{
    io.err << "brelmont-cli: " << problem << '\n';
    return CliRefused;
}

int Dump(TDM_TarvoPhoneBook& remote, CliIo io)
{
    TContactsTree tree;
    QString problem;
    QObject::connect(&remote, &TDM_TarvoPhoneBook::phoneBookLoaded,
                     [&problem](bool, const QString& why) { problem = why; });
    remote.LoadRemotePhoneBook(tree);
    WaitForAny(remote, &TDM_TarvoPhoneBook::phoneBookLoaded);
    PrintContactsTree(tree, io);
    return problem.isEmpty() ? int(CliOk) : Failed(problem, io);
}

int Add(TDM_TarvoPhoneBook& remote, const QString& nick, const QString& number, CliIo io)
{
    TContactData contact;
    contact.NickName = nick;
    contact.Number = number;
    std::optional<qint32> id;
    QString answer;
    QString problem;
    QObject::connect(&remote, &TDM_TarvoPhoneBook::contactAdded,
                     [&](quint64, qint32 newId, const QString& text) {
                         id = newId;
                         answer = text;
                     });
    QObject::connect(&remote, &TDM_TarvoPhoneBook::editFailed,
                     [&problem](quint64, const QString& why) { problem = why; });
    remote.AddRemoteContact(contact);
    WaitForAny(remote, &TDM_TarvoPhoneBook::contactAdded, &TDM_TarvoPhoneBook::editFailed);
    if (!id)
        return Failed(problem, io);
    io.out << *id << '\n';
    if (*id == -1)
        return Failed(
            QStringLiteral("the service answered \"%1\" instead of the new contact's ID").arg(answer), io);
    return CliOk;
}

int Delete(TDM_TarvoPhoneBook& remote, qint32 id, CliIo io)
{
    std::optional<bool> deleted;
    QString answer;
    QString problem;
    QObject::connect(&remote, &TDM_TarvoPhoneBook::contactDeleted,
                     [&](quint64, qint32, bool done, const QString& text) {
                         deleted = done;
                         answer = text;
                     });
    QObject::connect(&remote, &TDM_TarvoPhoneBook::editFailed,
                     [&problem](quint64, const QString& why) { problem = why; });
    remote.DeleteRemoteContact(id);
    WaitForAny(remote, &TDM_TarvoPhoneBook::contactDeleted, &TDM_TarvoPhoneBook::editFailed);
    if (!deleted)
        return Failed(problem, io);
    if (!*deleted)
        return Failed(
            QStringLiteral("contact %1 was not deleted; the service answered \"%2\"").arg(id).arg(answer),
            io);
    io.out << "deleted contact " << id << '\n';
    return CliOk;
}

// Lists that a name finds: "NAME<tab>COUNT" per ft_Folder folder, as the service counts its contacts.
int ShowLists(TDM_TarvoPhoneBook& remote, CliIo io)
{
    QList<TRecordFolder> folders;
    QString problem;
    QObject::connect(&remote, &TDM_TarvoPhoneBook::foldersRead,
                     [&](quint64, const QList<TRecordFolder>& read, const QString& why) {
                         folders = read;
                         problem = why;
                     });
    remote.ReadFolders();
    WaitForAny(remote, &TDM_TarvoPhoneBook::foldersRead);
    if (!problem.isEmpty())
        return Failed(problem, io);
    for (const TRecordFolder& f : folders)
        if (f.Folder_Type == TFolderType::Folder)
            io.out << f.FolderName.value_or(QString()) << '\t' << f.ContactsCount << '\n';
    return CliOk;
}

// One list's members, one line each as the list manager shows them.
int ShowList(TDM_TarvoPhoneBook& remote, const QString& name, CliIo io)
{
    QList<TContactData> members;
    bool found = false;
    QString problem;
    QObject::connect(&remote, &TDM_TarvoPhoneBook::listLoaded,
                     [&](quint64, const QList<TContactData>& read, bool exists, const QString& why) {
                         members = read;
                         found = exists;
                         problem = why;
                     });
    remote.LoadRemoteList(name);
    WaitForAny(remote, &TDM_TarvoPhoneBook::listLoaded);
    for (const TContactData& m : members)
        io.out << TPhoneBook::CheckListLine(m) << '\n';
    if (!problem.isEmpty())
        return Failed(problem, io);
    if (!found)
        return Failed(QStringLiteral("no list named \"%1\" in the remote phone book").arg(name), io);
    return CliOk;
}

} // namespace

int RunRemotePhonebookCommand(const QStringList& arguments, CliIo io)
{
    QStringList args = arguments;
    const bool remote = args.removeAll(kRemote) == 1;
    const QString verb = args.value(0);
    bool idOk = false;
    const qint32 id = verb == u"delete" ? args.value(1).toInt(&idOk) : 0;
    const bool valid =
        remote && ((verb == u"dump" && args.size() == 1) || (verb == u"add" && args.size() == 3) ||
                   (verb == u"delete" && args.size() == 2 && idOk));
    if (!valid || (verb == u"add" && args[2].trimmed().isEmpty())) {
        PrintUsage(io.err);
        return CliBadArguments;
    }
    const auto phoneBook = OpenRemote(io);
    if (!phoneBook)
        return CliRefused;
    if (verb == u"dump")
        return Dump(*phoneBook, io);
    if (verb == u"add")
        return Add(*phoneBook, args[1], args[2], io);
    return Delete(*phoneBook, id, io);
}

int RunRemoteListShow(const QStringList& arguments, CliIo io)
{
    QStringList args = arguments;
    const bool remote = args.removeAll(kRemote) == 1;
    if (!remote || args.value(0) != u"show" || args.size() > 2) {
        PrintUsage(io.err);
        return CliBadArguments;
    }
    const auto phoneBook = OpenRemote(io);
    if (!phoneBook)
        return CliRefused;
    return args.size() == 2 ? ShowList(*phoneBook, args[1], io) : ShowLists(*phoneBook, io);
}
