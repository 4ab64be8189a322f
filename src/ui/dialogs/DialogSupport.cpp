#include "ui/dialogs/DialogSupport.h"

#include "i18n/Language.h"

#include <QDialog>
#include <QLayout>

namespace {
struct THookState
{
    bool answerAtOnce = false;
    int answer = 1;
    QStringList executed;
};

THookState& Hook()
{
    static THookState state;
    return state;
}
} // namespace

void FixSizeAtLeast(QWidget* window, const QSize& designed)
{
    QSize needed = designed;
    if (QLayout* layout = window->layout()) {
        needed = needed.expandedTo(layout->minimumSize());
        if (layout->hasHeightForWidth())
            needed.setHeight(qMax(needed.height(), layout->totalHeightForWidth(needed.width())));
        else
            needed = needed.expandedTo(layout->sizeHint());
    }
    window->setFixedSize(needed);
}

void UseFixedWindowFrame(QWidget* window)
{
    const Qt::WindowFlags type = window->windowFlags() & Qt::WindowType_Mask;
    window->setWindowFlags(type | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint);
}

int ExecDialog(QDialog& dialog)
{
    if (Hook().answerAtOnce) {
        Hook().executed.append(dialog.objectName());
        dialog.setResult(Hook().answer);
        return Hook().answer;
    }
    return dialog.exec();
}

namespace DialogTestHook {
void AnswerAtOnce(bool on, int answer)
{
    Hook().answerAtOnce = on;
    Hook().answer = answer;
}

QStringList ExecutedDialogs()
{
    return Hook().executed;
}

void ClearExecutedDialogs()
{
    Hook().executed.clear();
}
} // namespace DialogTestHook

void DescribeForScreenReaders(const QString& code, QWidget* control, const Tr& name, const Tr& description)
{
    if (const auto text = PickText(code, name))
        control->setAccessibleName(*text);
    if (const auto text = PickText(code, description))
        control->setAccessibleDescription(*text);
}
