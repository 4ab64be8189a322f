#pragma once

#include <QStringList>
#include <QTextStream>

#include <functional>

class QIODevice;

// Exit codes shared by every brelmont-cli command.
enum CliExit { CliOk = 0, CliRefused = 1, CliBadArguments = 2 };

// The streams a command writes to; tests pass string-backed streams.
struct CliIo
{
    QTextStream& out;
    QTextStream& err;
};

// brelmont-cli config list | get NAME | set NAME VALUE | unset NAME
int RunConfigCommand(const QStringList& args, CliIo io);

// brelmont-cli count [--text TEXT] [--recipients N [--duplicates N]] [--to NUMBER]... [--list NAME]...
// readList gives a phone-book list's member numbers (none: --list is refused); input replaces stdin.
int RunCountCommand(const QStringList& args, CliIo io,
                    const std::function<QStringList(const QString&)>& readList = {}, QIODevice* input = nullptr);

// brelmont-cli send --to NUMBERS [--to ...] [--list NAME ...] --text TEXT [--quality high|medium] [--anonymous]
//                   [--at "YYYY-MM-DD HH:MM"]
int RunSendCommand(const QStringList& args, CliIo io);
// brelmont-cli credit
int RunCreditCommand(const QStringList& args, CliIo io);

// brelmont-cli phonebook dump | add NAME NUMBER | import-legacy FILE [--replace]
// An empty phoneBookFile means the user's phone book.
int RunPhonebookCommand(const QStringList& args, CliIo io, const QString& phoneBookFile = QString());
