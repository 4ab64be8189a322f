#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// The file dialogs and the text question (InputBox) of the windows. Filters are written as
// "description|patterns|description|patterns", patterns separated by ';'.

// An existing file to open; empty when the user cancelled. selectedFilter counts from 0;
// defaultSuffix is added to a typed name without one.
QString ChooseFileToOpen(QWidget* parent, const QString& title, const QString& filters, int selectedFilter,
                         const QString& defaultSuffix);
// A file name to write (an existing file is replaced only after the user agreed); empty when the
// user cancelled.
QString ChooseFileToSave(QWidget* parent, const QString& title, const QString& filters);
// The typed text, or nothing when the user cancelled (an InputBox answers value then).
std::optional<QString> AskText(QWidget* parent, const QString& caption, const QString& prompt,
                               const QString& value);

// Tests answer the questions in order without showing anything: a file name (empty: cancelled)
// and a text (nothing: cancelled). Titles and captions of the questions asked stay readable.
namespace UserInputTestHook {
void SetNextFileName(const QString& fileName);
void SetNextText(const std::optional<QString>& text);
void Clear();
int Pending();
QStringList Asked();
} // namespace UserInputTestHook
