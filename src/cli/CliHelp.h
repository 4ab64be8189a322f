#pragma once

#include "cli/CliCommand.h"

#include <optional>

// brelmont-cli --help | -h, brelmont-cli help [COMMAND], brelmont-cli COMMAND --help | -h and
// brelmont-cli --version: the help on standard output, exit 0. Answers nullopt when the arguments
// ask for neither, so the command runs as before. An unknown COMMAND's help is refused (exit 2).
std::optional<int> RunHelpOrVersion(const QString& command, const QStringList& args, CliIo io);
