#include "ui/lists/ListImportFlow.h"

#include "lists/ListFile.h"
#include "lists/ListImport.h"
#include "lists/ListTexts.h"
#include "phonebook/PhoneBook.h"
#include "settings/SettingsHolder.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/MessageDialog.h"
#include "ui/dialogs/MissingPrefixDialog.h"
#include "ui/dialogs/Placement.h"
#include "ui/dialogs/ProgressWindow.h"
#include "ui/dialogs/UserInput.h"
#include "ui/lists/BackgroundWork.h"
#include "ui/lists/ImportConfirmDialog.h"

#include <optional>

TListImportFlow::TListImportFlow(QWidget* listWindow, TPhoneBook& book, TSettingsHolder& settings)
    : m_window(listWindow), m_book(book), m_settings(settings), m_language(settings.GetLanguage())
{
}

void TListImportFlow::Tell(const QString& caption, const QString& text) const
{
    TF_Message message(m_window, TF_Message::ButtonsOk, m_language);
    message.ShowText(caption, text);
}

TListImportFlow::TOutcome TListImportFlow::Run(const QString& listName, bool isNew,
                                               const std::function<void()>& fileChosen)
{
    TOutcome outcome;
    {
        TF_ConfermaLista explanation(m_language, m_window);
        PlaceBesideMainWindow(&explanation, m_window);
        if (ExecDialog(explanation) != QDialog::Accepted)
            return outcome;
    }
    const QString file =
        ChooseFileToOpen(m_window, ListText(TListText::ImportTitle, m_language),
                         ListText(TListText::ImportFilter, m_language), 2, QStringLiteral("csv"));
    if (file.isEmpty())
        return outcome;
    if (fileChosen)
        fileChosen();

    TListFileRecords read;
    qsizetype lacking = -1;
    RunInBackground([&] {
        read = ReadListFile(file);
        lacking = CleanImportNumbers(read.Records);
    });
    if (read.Error) {
        Tell(ListText(TListText::WarningCaption, m_language), ReadErrorText(m_language, read.Error, file));
        outcome.What = Failed;
        return outcome;
    }
    std::optional<QString> prefix;
    if (lacking >= 0) {
        prefix = TF_PrefissoMancante::Ask(m_window, m_language, m_settings);
        if (!prefix)
            return outcome;
    }

    TF_Progresso progress(m_window);
    PlaceBesideMainWindow(&progress, m_window);
    const auto phaseText = [this](int phase) {
        return ListText(phase == 0   ? TListText::Sorting
                        : phase == 1 ? TListText::Importing
                                     : TListText::Adding,
                        m_language);
    };
    progress.SetDescription(phaseText(0));
    progress.SetMax(int(read.Records.size() / 200) * 3);
    progress.RestartPending = false;
    progress.show();

    TBackgroundProgress state;
    TImportCounts counts;
    std::optional<qint32> id;
    QString error;
    const int sortSteps = int((read.Records.size() + 199) / 200);
    TPhoneBook worker(m_book.CurrentFile(), m_book.LegacyFile());
    RunInBackground(
        [&] {
            if (prefix)
                ApplyImportPrefix(read.Records, *prefix);
            counts = SelectImportMembers(read.Records, outcome.Members, [&] {
                if (++state.Steps == sortSteps)
                    state.Phase = 1;
            });
            read.Records = {};
            state.Phase = 2;
            id = SaveImportedList(
                worker, listName, outcome.Members, isNew, [&] { ++state.Steps; }, &error);
        },
        &progress, &state, phaseText);
    progress.hide();

    if (!id) {
        Tell(ListText(TListText::WarningCaption, m_language),
             ListText(TListText::ImportFailed, m_language) + QStringLiteral("\r\n(") + error + u')');
        outcome.What = Failed;
        outcome.Members.clear();
        return outcome;
    }
    outcome.What = Stored;
    outcome.NewListID = *id;
    QString summary = ImportSummaryText(m_language, counts);
    if (!read.Warnings.isEmpty())
        summary += QStringLiteral("\r\n\r\n") + ListText(TListText::SheetsSkipped, m_language) +
                   QStringLiteral("\r\n") + read.Warnings.join(QStringLiteral("\r\n"));
    Tell(ListText(TListText::SummaryCaption, m_language), summary);
    return outcome;
}
