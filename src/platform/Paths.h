#pragma once

#include <QString>

// Per-user folders and facts about the running program.

// $XDG_DATA_HOME/Brelmont, created when missing; ends without a separator.
QString UserDataFolder();

// Full path of the running executable (empty before QCoreApplication exists).
QString ExecutablePath();

// Folder of the running executable.
QString ExecutableFolder();

// The program's version, "2.0.0.1", as set in the build.
QString GetProgramVersion();

// A file the program installs beside itself: installedPath (relative to the installation
// prefix, e.g. "lib/brelmont/x.so") seen from this executable's "bin" folder, else
// buildTreePath (the same file in the build tree, for tests and benchmarks). Empty when
// neither exists.
QString ProgramPartPath(const QString& installedPath, const QString& buildTreePath);
