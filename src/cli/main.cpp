#include "cli/CliCommand.h"
#include "cli/CliHelp.h"
#include "cli/PhoneBookLists.h"

#include <QCoreApplication>
#include <cstdio>

namespace {
void PrintUsage(QTextStream& err)
{
    err << "usage: brelmont-cli COMMAND [ARGS]\n"
           "commands:\n"
           "  config list | get NAME | set NAME VALUE | unset NAME\n"
           "  count [--text TEXT] [--recipients N] [--to NUMBER]... [--list NAME]...\n"
           "  send --to NUMBERS [--to ...] [--list NAME ...] --text TEXT [--quality high|medium] "
           "[--anonymous]\n"
           "       [--at \"YYYY-MM-DD HH:MM\"]\n"
           "  credit\n"
           "  phonebook dump | add NAME NUMBER | rebuild | import-legacy FILE [--replace]\n"
           "  phonebook dump --remote | add --remote NICK NUMBER | delete --remote ID\n"
           "  phonebook import-contacts FILE [--prefix +NN] [--mobile-only]\n"
           "  list show [NAME] | import NAME FILE [--prefix +NN] | export NAME FILE | rename OLD NEW | "
           "delete NAME\n"
           "  list show --remote [NAME]\n"
           "  lookup NUMBER\n"
           "  suggest [--text TEXT]\n"
           "  update check [--manual] | download [--no-run] [--output FILE]\n";
}
} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("brelmont-cli"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    CliIo io{out, err};

    QStringList args = QCoreApplication::arguments().mid(1);
    const QString command = args.isEmpty() ? QString() : args.takeFirst();
    if (const std::optional<int> helped = RunHelpOrVersion(command, args, io))
        return *helped;
    if (command == u"config")
        return RunConfigCommand(args, io);
    if (command == u"count")
        return RunCountCommand(args, io, PhoneBookListReader());
    if (command == u"send")
        return RunSendCommand(args, io);
    if (command == u"credit")
        return RunCreditCommand(args, io);
    const bool remote = args.contains(QStringLiteral("--remote"));
    if (command == u"phonebook" && args.value(0) == u"import-contacts")
        return RunImportContactsCommand(args.mid(1), io);
    if (command == u"phonebook")
        return remote ? RunRemotePhonebookCommand(args, io) : RunPhonebookCommand(args, io);
    if (command == u"list")
        return remote ? RunRemoteListShow(args, io) : RunListCommand(args, io);
    if (command == u"lookup")
        return RunLookupCommand(args, io);
    if (command == u"suggest")
        return RunSuggestCommand(args, io);
    if (command == u"update")
        return RunUpdateCommand(args, io);
    PrintUsage(err);
    return CliBadArguments;
}
