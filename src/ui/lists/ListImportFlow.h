#pragma once

#include "phonebook/ContactData.h"

#include <QList>
#include <QString>
#include <functional>

class QWidget;
class TPhoneBook;
class TSettingsHolder;

// The import of a list file into one list, run from the list window: the explanation dialog,
// the file choice, the reading, the missing-prefix question, the selection and the store with
// the progress window, and the summary. The reading, the selection and the store run on a
// worker thread while the windows keep painting.
class TListImportFlow
{
public:
    enum Result
    {
        Abandoned,
        Failed,
        Stored
    };
    struct TOutcome
    {
        Result What = Abandoned;
        qint32 NewListID = 0;        // the row ID of a new list
        QList<TContactData> Members; // what was stored, in stored order
    };

    TListImportFlow(QWidget* listWindow, TPhoneBook& book, TSettingsHolder& settings);

    // fileChosen runs once the file is chosen, before it is read (the window empties its box).
    TOutcome Run(const QString& listName, bool isNew, const std::function<void()>& fileChosen);

private:
    void Tell(const QString& caption, const QString& text) const;

    QWidget* m_window;
    TPhoneBook& m_book;
    TSettingsHolder& m_settings;
    QString m_language;
};
