#pragma once

#include <QStringList>
#include <QTextStream>

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
