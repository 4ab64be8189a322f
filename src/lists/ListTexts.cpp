#include "lists/ListTexts.h"

#include "i18n/Language.h"

#include <QFileInfo>

namespace {
QString Pick(const QString& language, const Tr& text)
{
    return PickText(language, text).value_or(QString::fromUtf8(text.ita));
}

const Tr& TextOf(TListText key)
{
    static const Tr summary{"Importazione", "Import", "Importaçao"};
    static const Tr sorting{"Ordinamento contatti in corso...", "Sorting contacts...", "Sorting contacts"};
    static const Tr importing{"Importazione contatti in corso...", "Importing contacts...",
                              "Importar lista de contatos"};
    static const Tr adding{"Inserimento contatti in rubrica...", "Adding contacts to list...",
                           "Adding contacts to list"};
    static const Tr importTitle{"Importazione lista contatti", "Import contact list",
                                "Importar lista de contatos"};
    static const Tr exportTitle{"Esportazione lista contatti", "Export contact list",
                                "Exportar lista de contatos"};
    static const Tr importFilter{
        "File di testo con separatore (*.txt, *.csv)|*.txt;*.csv|Microsoft Excel 97/2000/XP (*.xls, "
        "*.xlsx)|*.xls;"
        "*.xlsx|Tutti i files (*.txt, *.csv, *.xls, *.xlsx)|*.txt;*.csv;*.xls;*.xlsx",
        "Text file with separated fields (*.txt, *.csv)|*.txt;*.csv|Microsoft Excel 97/2000/XP file (*.xls, "
        "*.xlsx)|*.xls;*.xlsx|All files (*.txt, *.csv, *.xls, *.xlsx)|*.txt;*.csv;*.xls;*.xlsx",
        "File de text com separador (*.txt, *.csv)|*.txt;*.csv|Microsoft Excel 97/2000/XP (*.xls, "
        "*.xlsx)|*.xls;"
        "*.xlsx|Todos files (*.txt, *.csv, *.xls, *.xlsx)|*.txt;*.csv;*.xls;*.xlsx"};
    static const Tr exportFilter{"File di testo con separatore (*.txt, *.csv)|*.txt;*.csv",
                                 "Text file with separated fields (*.txt, *.csv)|*.txt;*.csv",
                                 "File de text com separador (*.txt, *.csv)|*.txt;*.csv"};
    static const Tr warning{"Attenzione", "Warning", "Atençao"};
    static const Tr taken{"Una lista con questo nome esiste già.", "A list with this name already exists.",
                          "Lista ja existente com este nome."};
    static const Tr unusable{"Questo nome non può essere usato per una lista.",
                             "This name cannot be used for a list.",
                             "Este nome nao pode ser usado para uma lista."};
    static const Tr skipped{"Alcuni fogli del file non sono stati letti del tutto:",
                            "Some sheets of the file were not read in full:",
                            "Algumas folhas do file nao foram lidas por completo:"};
    static const Tr exportFailed{
        "Impossibile scrivere il file:", "The file cannot be written:", "Impossivel escrever o file:"};
    static const Tr importFailed{"La lista non è stata salvata; i contatti precedenti restano invariati.",
                                 "The list was not saved; its previous contacts are unchanged.",
                                 "A lista nao foi salva; os contatos anteriores ficam inalterados."};
    switch (key) {
    case TListText::SummaryCaption:
        return summary;
    case TListText::Sorting:
        return sorting;
    case TListText::Importing:
        return importing;
    case TListText::Adding:
        return adding;
    case TListText::ImportTitle:
        return importTitle;
    case TListText::ExportTitle:
        return exportTitle;
    case TListText::ImportFilter:
        return importFilter;
    case TListText::ExportFilter:
        return exportFilter;
    case TListText::WarningCaption:
        return warning;
    case TListText::ListNameTaken:
        return taken;
    case TListText::ListNameUnusable:
        return unusable;
    case TListText::SheetsSkipped:
        return skipped;
    case TListText::ExportFailed:
        return exportFailed;
    case TListText::ImportFailed:
        break;
    }
    return importFailed;
}
} // namespace

QString ListText(TListText key, const QString& language)
{
    return Pick(language, TextOf(key));
}

QString ImportSummaryText(const QString& language, const TImportCounts& counts)
{
    const auto line = [&](const Tr& text, int n) {
        return Pick(language, text).replace(QStringLiteral("%n"), QString::number(n));
    };
    return line({"Totale numeri importati: %n.", "Total imported numbers: %n.",
                 "Total numeros importados: %n."},
                counts.Imported) +
           QStringLiteral("\r\n") +
           line({"Totale numeri duplicati: %n.", "Total duplicates number: %n.",
                 "Total numeros duplicados: %n."},
                counts.Duplicates) +
           QStringLiteral("\r\n") +
           line({"Totale numeri errati: %n.", "Total incorrect numbers: %n.", "Total numeros incorreto: %n."},
                counts.Wrong);
}

QString ReadErrorText(const QString& language, const TReadError& error, const QString& file)
{
    Tr reason{"", "", ""};
    switch (error.What) {
    case TReadError::None:
        return {};
    case TReadError::CannotOpen:
        reason = {"Il file non può essere aperto.", "The file cannot be opened.",
                  "O file nao pode ser aberto."};
        break;
    case TReadError::NotText:
        reason = {"Non è un file di testo.", "It is not a text file.", "Nao e um file de texto."};
        break;
    case TReadError::Unsupported:
        reason = {"Si possono importare solo file .csv, .txt, .xls e .xlsx.",
                  "Only .csv, .txt, .xls and .xlsx files can be imported.",
                  "So se podem importar files .csv, .txt, .xls e .xlsx."};
        break;
    case TReadError::BadSpreadsheet:
        reason = {"Non è un file Excel leggibile.", "It is not a readable Excel file.",
                  "Nao e um file Excel legivel."};
        break;
    case TReadError::TooLarge:
        reason = {"Il file è troppo grande.", "The file is too large.", "O file e grande demais."};
        break;
    case TReadError::NotContacts:
        reason = {"Non è un file vCard né un'esportazione CSV di Outlook.",
                  "It is neither a vCard file nor an Outlook CSV export.",
                  "Nao e um file vCard nem uma exportaçao CSV do Outlook."};
        break;
    }
    return QFileInfo(file).fileName() + QStringLiteral("\r\n") + Pick(language, reason) +
           QStringLiteral("\r\n(") + error.Detail + u')';
}
