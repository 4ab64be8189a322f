#pragma once

#include <QSize>
#include <QStringList>

class QDialog;
class QString;
class QWidget;
struct Tr;

// Gives a fixed-size window its designed client size, or what its layout needs when a
// translated text or the desktop's font asks for more.
void FixSizeAtLeast(QWidget* window, const QSize& designed);

// The frame of a fixed-size window: title and close box only, no minimise or maximise button
// and no context help. Call it before the window is first shown.
void UseFixedWindowFrame(QWidget* window);

// What screen readers say of a control, in the language of code (other codes change nothing).
void DescribeForScreenReaders(const QString& code, QWidget* control, const Tr& name, const Tr& description);

// Runs a dialog modally and returns its result. While tests have asked for it, the dialog is
// not shown: it returns `answer` at once and its object name is recorded.
int ExecDialog(QDialog& dialog);

namespace DialogTestHook {
void AnswerAtOnce(bool on, int answer = 1);
QStringList ExecutedDialogs();
void ClearExecutedDialogs();
} // namespace DialogTestHook
