#include "compose/ComposeTexts.h"

#include "i18n/Language.h"

TComposeTexts::TComposeTexts()
{
    ApplyLanguage(QStringLiteral("ITA"));
}

void TComposeTexts::ApplyLanguage(const QString& code)
{
    ApplyText(code, SelectedContacts,
              {"Contatti selezionati", "Selected contacts", "Contactos seleccionados"});
    ApplyText(code, DiscardedOne, {"Scartato doppio", "Discarded as duplicate", "Descartado duplicado"});
    ApplyText(code, DiscardedMany, {"Scartati doppi", "Discarded as duplicates", "Descartados duplicados"});
    ApplyText(code, TooLong, {"Testo troppo lungo", "Text too long", "Texto muito longo"});
    ApplyText(code, SendCaption, {"Invia", "Send", "Envia"});
    ApplyText(code, UnicodeWarningCaption, {"Messaggio", "Message", "Message"});
    static constexpr const char* kUnicodeWarningEng =
        "Text message contains special unicode chars so max lenght of one message will be 70. Modify text if "
        "necessary. Please contact us for more info about sending sms using specific languages (arabic, "
        "chinese, "
        "etc.).";
    ApplyText(
        code, UnicodeWarning,
        {"Nel testo ci sono caratteri speciali unicode che limitano la lunghezza a 70 caratteri per sms. "
         "Modificare il testo se necessario. Per maggiori informazioni sull'invio di sms con lingue speciali "
         "(arabo, cinese, ecc.) contattaci.",
         kUnicodeWarningEng, kUnicodeWarningEng});
    ApplyText(code, Loading,
              {"Caricamento lista in corso...", "Loading list, please wait...", "Carregando lista..."});
    static constexpr const char* kHintEng =
        "Copy here your number list to add using ; or return as separator.";
    ApplyText(
        code, CustomListHint,
        {"Copia qui l'elenco dei numeri da aggiungere separati da ; e su più linee.", kHintEng, kHintEng});
    ApplyText(code, MissingPrefixCaption, {"Avviso", "Warning", "Warning"});
    static constexpr const char* kMissingEng =
        "Some numbers don't have international prefix (Eg +44 for UK, +39 for "
        "IT). Please select prefix for these numbers. ";
    ApplyText(code, MissingPrefixMessage,
              {"Alcuni numeri non hanno il prefisso internazionale, (Es. +39 per IT, +44 per UK). Scegli il "
               "prefisso "
               "per questi numeri.",
               kMissingEng, kMissingEng});
    ApplyText(code, MissingPrefixCountry, {"Stato:", "Country:", "Country:"});
    ApplyText(code, MissingPrefixPrefix,
              {"Prefisso internazionale:", "International prefix:", "International prefix:"});
    ApplyText(code, MissingPrefixOk, {"Ok", "Ok", "Ok"});
    ApplyText(code, MissingPrefixCancel, {"Annulla", "Cancel", "Cancel"});
}
