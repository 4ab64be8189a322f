#pragma once

#include "lists/ContactSource.h"

#include <QDialog>

class QPushButton;
class QTreeWidget;
class TContactsTree;
class TPhoneBook;
class TSettingsHolder;

// TF_ImportFromMSOutlook: the numbers of an address-book file (a vCard file or an Outlook CSV
// export the user picks), one line per number with the "Mobile" mark; the user ticks the lines
// to import.
class TF_ImportFromMSOutlook : public QDialog
{
    Q_OBJECT

public:
    TF_ImportFromMSOutlook(const QList<TContactLine>& lines, const QString& language,
                           QWidget* parent = nullptr);
    ~TF_ImportFromMSOutlook() override;

    // The contact import command: the file choice, this dialog beside mainWindow, the prefix
    // question, the new contacts in the tree and the phone book rewritten. Answers the number of
    // contacts added, or -1 when nothing was imported.
    static int Run(QWidget* mainWindow, TPhoneBook& book, TContactsTree& tree, TSettingsHolder& settings);

    void ApplyLanguage(const QString& code);
    // Ticks exactly the mobile lines.
    void BtnCellulariClick();
    // The ticked lines, in list order.
    QList<TContactLine> TickedLines() const;

    QTreeWidget* lvOutlookContacts;
    QPushButton* BtnCellulari;
    QPushButton* BtnImporta;
    QPushButton* BtnAnnulla;

private:
    QList<TContactLine> m_lines;
};
