#include "ui/dialogs/UserInput.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QQueue>

namespace {
struct THook
{
    QQueue<QString> files;
    QQueue<std::optional<QString>> texts;
    QStringList asked;
};

THook& Hook()
{
    static THook hook;
    return hook;
}

// "desc|*.a;*.b" -> "desc (*.a *.b)": Qt reads the patterns from the last parentheses, and the
// dialog shows only the description, which already names them.
QStringList NameFilters(const QString& filters)
{
    const QStringList parts = filters.split(u'|');
    QStringList names;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        names.append(parts[i] + QStringLiteral(" (") + QString(parts[i + 1]).replace(u';', u' ') + u')');
    return names;
}

QString ChooseFile(QWidget* parent, const QString& title, const QString& filters, int selectedFilter,
                   const QString& defaultSuffix, bool save)
{
    Hook().asked.append(title);
    if (!Hook().files.isEmpty())
        return Hook().files.dequeue();
    QFileDialog dialog(parent, title);
    dialog.setObjectName(save ? QStringLiteral("ExportSaveDialog") : QStringLiteral("ImportOpenDialog"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList names = NameFilters(filters);
    dialog.setNameFilters(names);
    if (selectedFilter >= 0 && selectedFilter < names.size())
        dialog.selectNameFilter(names[selectedFilter]);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
} // namespace

QString ChooseFileToOpen(QWidget* parent, const QString& title, const QString& filters, int selectedFilter,
                         const QString& defaultSuffix)
{
    return ChooseFile(parent, title, filters, selectedFilter, defaultSuffix, false);
}

QString ChooseFileToSave(QWidget* parent, const QString& title, const QString& filters)
{
    return ChooseFile(parent, title, filters, 0, QString(), true);
}

std::optional<QString> AskText(QWidget* parent, const QString& caption, const QString& prompt,
                               const QString& value)
{
    Hook().asked.append(caption);
    if (!Hook().texts.isEmpty())
        return Hook().texts.dequeue();
    bool ok = false;
    const QString text = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, value, &ok);
    return ok ? std::optional<QString>(text) : std::nullopt;
}

namespace UserInputTestHook {
void SetNextFileName(const QString& fileName)
{
    Hook().files.enqueue(fileName);
}

void SetNextText(const std::optional<QString>& text)
{
    Hook().texts.enqueue(text);
}

void Clear()
{
    Hook() = THook();
}

int Pending()
{
    return int(Hook().files.size() + Hook().texts.size());
}

QStringList Asked()
{
    return Hook().asked;
}
} // namespace UserInputTestHook
