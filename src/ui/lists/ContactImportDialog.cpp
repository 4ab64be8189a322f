#include "ui/lists/ContactImportDialog.h"

#include "i18n/Language.h"
#include "lists/ListTexts.h"
#include "settings/SettingsHolder.h"
#include "ui/dialogs/DialogSupport.h"
#include "ui/dialogs/MessageDialog.h"
#include "ui/dialogs/MissingPrefixDialog.h"
#include "ui/dialogs/Placement.h"
#include "ui/dialogs/UserInput.h"
#include "ui/lists/BackgroundWork.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
QString Text(const QString& code, const Tr& text)
{
    return PickText(code, text).value_or(QString::fromUtf8(text.ita));
}

const Tr kCaption{"Importazione contatti", "Import contacts", "Importaçao de contatos"};
} // namespace

TF_ImportFromMSOutlook::TF_ImportFromMSOutlook(const QList<TContactLine>& lines, const QString& language,
                                               QWidget* parent)
    : QDialog(parent), lvOutlookContacts(new QTreeWidget(this)), BtnCellulari(new QPushButton(this)),
      BtnImporta(new QPushButton(this)), BtnAnnulla(new QPushButton(this)), m_lines(lines)
{
    setObjectName(QStringLiteral("TF_ImportFromMSOutlook"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    lvOutlookContacts->setObjectName(QStringLiteral("lvOutlookContacts"));
    BtnCellulari->setObjectName(QStringLiteral("BtnCellulari"));
    BtnImporta->setObjectName(QStringLiteral("BtnImporta"));
    BtnAnnulla->setObjectName(QStringLiteral("BtnAnnulla"));

    lvOutlookContacts->setColumnCount(3);
    lvOutlookContacts->setRootIsDecorated(false);
    lvOutlookContacts->setUniformRowHeights(true);
    lvOutlookContacts->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvOutlookContacts->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvOutlookContacts->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (const TContactLine& line : m_lines) {
        auto* item = new QTreeWidgetItem(
            lvOutlookContacts, {line.Name, line.Number, line.Mobile ? QStringLiteral("Mobile") : QString()});
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
    }
    lvOutlookContacts->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    lvOutlookContacts->header()->setStretchLastSection(false);
    lvOutlookContacts->setColumnWidth(1, 150);
    lvOutlookContacts->setColumnWidth(2, 60);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BtnCellulari);
    buttons->addStretch();
    buttons->addWidget(BtnImporta);
    buttons->addWidget(BtnAnnulla);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lvOutlookContacts, 1);
    layout->addLayout(buttons);

    BtnImporta->setDefault(true);
    connect(BtnCellulari, &QPushButton::clicked, this, &TF_ImportFromMSOutlook::BtnCellulariClick);
    connect(BtnImporta, &QPushButton::clicked, this, &QDialog::accept);
    connect(BtnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    ApplyLanguage(QStringLiteral("ITA"));
    ApplyLanguage(language);
    resize(480, 400);
}

TF_ImportFromMSOutlook::~TF_ImportFromMSOutlook() = default;

void TF_ImportFromMSOutlook::ApplyLanguage(const QString& code)
{
    const auto caption = PickText(code, kCaption);
    if (!caption)
        return;
    setWindowTitle(*caption);
    lvOutlookContacts->setHeaderLabels({*PickText(code, {"Nome", "Name", "Nome"}),
                                        *PickText(code, {"Numero", "Number", "Numero"}), QString()});
    BtnCellulari->setText(*PickText(code, {"Cellulari", "Mobiles", "Mobiles"}));
    BtnImporta->setText(*PickText(code, {"Importa", "Import", "Importa"}));
    BtnAnnulla->setText(*PickText(code, {"Annulla", "Cancel", "Anula"}));
}

void TF_ImportFromMSOutlook::BtnCellulariClick()
{
    for (int i = 0; i < lvOutlookContacts->topLevelItemCount(); ++i)
        lvOutlookContacts->topLevelItem(i)->setCheckState(0, m_lines[i].Mobile ? Qt::Checked : Qt::Unchecked);
}

QList<TContactLine> TF_ImportFromMSOutlook::TickedLines() const
{
    QList<TContactLine> ticked;
    for (int i = 0; i < lvOutlookContacts->topLevelItemCount(); ++i)
        if (lvOutlookContacts->topLevelItem(i)->checkState(0) == Qt::Checked)
            ticked.append(m_lines[i]);
    return ticked;
}

int TF_ImportFromMSOutlook::Run(QWidget* mainWindow, TPhoneBook& book, TContactsTree& tree,
                                TSettingsHolder& settings)
{
    const QString language = settings.GetLanguage();
    const auto tell = [&](const QString& text) {
        TF_Message message(mainWindow, TF_Message::ButtonsOk, language);
        message.ShowText(ListText(TListText::WarningCaption, language), text);
    };
    const QString file = ChooseFileToOpen(
        mainWindow, Text(language, kCaption),
        Text(language,
             {"Rubriche (*.vcf, *.csv)|*.vcf;*.vcard;*.csv|Biglietti da visita vCard (*.vcf)|*.vcf;*.vcard|"
              "Esportazione CSV di Outlook (*.csv)|*.csv",
              "Address books (*.vcf, *.csv)|*.vcf;*.vcard;*.csv|vCard business cards (*.vcf)|*.vcf;*.vcard|"
              "Outlook CSV export (*.csv)|*.csv",
              "Agendas (*.vcf, *.csv)|*.vcf;*.vcard;*.csv|Cartoes de visita vCard (*.vcf)|*.vcf;*.vcard|"
              "Exportaçao CSV do Outlook (*.csv)|*.csv"}),
        0, QString());
    if (file.isEmpty())
        return -1;
    TContactSource source;
    RunInBackground([&] { source = ReadContactSource(file); });
    if (source.Error) {
        tell(ReadErrorText(language, source.Error, file));
        return -1;
    }
    TF_ImportFromMSOutlook dialog(source.Lines, language, mainWindow);
    PlaceBesideMainWindow(&dialog, mainWindow);
    if (ExecDialog(dialog) != QDialog::Accepted)
        return -1;
    QList<TContactLine> lines = dialog.TickedLines();
    if (CleanContactNumbers(lines)) {
        const std::optional<QString> prefix = TF_PrefissoMancante::Ask(mainWindow, language, settings);
        if (!prefix)
            return -1;
        ApplyContactPrefix(lines, *prefix);
    }
    QString error;
    const int added = AddContactLines(book, tree, lines, &error);
    if (added < 0)
        tell(error);
    return added;
}
