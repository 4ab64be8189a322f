#pragma once

#include <QString>

// Per-user autostart entries: $XDG_CONFIG_HOME/autostart/<name>.desktop, the Linux
// counterpart of a value in the user's "Run" registry key.
namespace Autostart {

QString EntryPath(const QString& name);
bool Exists(const QString& name);
// The program path the entry starts, or empty.
QString Command(const QString& name);
// Writes the entry atomically; false when the file cannot be written.
bool Set(const QString& name, const QString& executablePath);
// Removes the entry when it exists; false only when an existing entry cannot be removed.
bool Remove(const QString& name);

} // namespace Autostart
