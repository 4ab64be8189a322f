#pragma once

#include <QStringList>
#include <QTextStream>
#include <functional>
#include <optional>

class QCommandLineParser;
class QIODevice;
class TContactsTree;

// Exit codes shared by every brelmont-cli command.
enum CliExit
{
    CliOk = 0,
    CliRefused = 1,
    CliBadArguments = 2
};

// The streams a command writes to; tests pass string-backed streams.
struct CliIo
{
    QTextStream& out;
    QTextStream& err;
};

// The text of input (standard input when null), less the one line break that ends a file or an
// echo; nullopt, with a message on io.err, when it cannot be read.
std::optional<QString> ReadInputText(QIODevice* input, CliIo io);
// Reads the options of one command ("send", "update check") into parser; no positional arguments.
// False, with the reason on stderr, when they do not fit.
bool ParseCliOptions(QCommandLineParser& parser, const QString& command, const QStringList& args, CliIo io);

// brelmont-cli config list | get NAME | set NAME VALUE | unset NAME
int RunConfigCommand(const QStringList& args, CliIo io);

// brelmont-cli count [--text TEXT] [--recipients N [--duplicates N]] [--to NUMBER]... [--list NAME]...
// readList gives a phone-book list's member numbers (none: --list is refused); input replaces stdin.
int RunCountCommand(const QStringList& args, CliIo io,
                    const std::function<QStringList(const QString&)>& readList = {},
                    QIODevice* input = nullptr);

// brelmont-cli send --to NUMBERS [--to ...] [--list NAME ...] --text TEXT [--quality high|medium]
// [--anonymous]
//                   [--at "YYYY-MM-DD HH:MM"]
int RunSendCommand(const QStringList& args, CliIo io);
// brelmont-cli credit
int RunCreditCommand(const QStringList& args, CliIo io);

// brelmont-cli phonebook dump | add NAME NUMBER | rebuild | import-legacy FILE [--replace]
// An empty phoneBookFile means the user's phone book.
int RunPhonebookCommand(const QStringList& args, CliIo io, const QString& phoneBookFile = QString());

// brelmont-cli lookup NUMBER: the details of the number, one "Name: value" line each.
// timeOutMs 0 keeps the program's 30-second time-out.
int RunLookupCommand(const QStringList& args, CliIo io, int timeOutMs = 0);
// brelmont-cli suggest [--text TEXT]: sends TEXT (or standard input, less its final line break).
int RunSuggestCommand(const QStringList& args, CliIo io, QIODevice* input = nullptr, int timeOutMs = 0);
// brelmont-cli phonebook dump --remote | add --remote NICK NUMBER | delete --remote ID: the provider's
// phone book (Endpoints\PhoneBookServiceUrl) with the stored account; exit 1 on a fault, its text on stderr.
int RunRemotePhonebookCommand(const QStringList& args, CliIo io);
// brelmont-cli list show --remote [NAME]: the remote phone book's lists, or the members of one.
int RunRemoteListShow(const QStringList& args, CliIo io);

// The tree as `phonebook dump` prints it: kind, ID, caption, number or member count; members indented.
void PrintContactsTree(const TContactsTree& tree, CliIo io);
// brelmont-cli update check [--manual] | download [--no-run] [--output FILE]
// The download's progress bar goes to stderr when it is a terminal (stderrIsTerminal decides for tests).
int RunUpdateCommand(const QStringList& args, CliIo io, std::optional<bool> stderrIsTerminal = std::nullopt);
// brelmont-cli list show [NAME] | import NAME FILE [--prefix +NN] | export NAME FILE | rename OLD NEW
//              | delete NAME
int RunListCommand(const QStringList& args, CliIo io, const QString& phoneBookFile = QString());
// brelmont-cli phonebook import-contacts FILE [--prefix +NN] [--mobile-only]
int RunImportContactsCommand(const QStringList& args, CliIo io, const QString& phoneBookFile = QString());
