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

    // Portuguese has no empty-text refusal of its own: it shows the English one, like the
    // no-recipients refusal, rather than no message at all.
    static constexpr const char* kNoTextEng =
        "If you want to send a message you should write the text in the red marked cell.";
    ApplyText(code, NoTextCaption, {"Avviso", "Warning", "Warning"});
    ApplyText(
        code, NoText,
        {"Per inviare un messaggio è necessario scrivere il testo nella casella contrassegnata in rosso.",
         kNoTextEng, kNoTextEng});
    ApplyText(code, NoRecipientsCaption, {"Avviso", "Warning", "Warning"});
    static constexpr const char* kNoRecipientsEng =
        "If you want to send a message you should select at least a contact from your phonebook. If you have "
        "no contact yet, please add them using the main menu \"Contacts->Add...\"";
    ApplyText(
        code, NoRecipients,
        {"Per inviare un messaggio è necessario selezionare almeno un contatto dalla propria rubrica. Se non "
         "si ha nessun contatto, aggiungerne nuovi procedendo tramite il menu principale "
         "\"Contatti->Aggiungi...\"",
         kNoRecipientsEng, kNoRecipientsEng});
    ApplyText(code, ConfirmCaption, {"Messaggio", "Message", "Mensagem"});
    static constexpr const char* kConfirmTotalEng = "Warning,\r\nTotal SMS number: %d.\r\nContinue?";
    ApplyText(code, ConfirmTotal,
              {"Attenzione, \r\nIl numero totale degli SMS è: %d.\r\nContinuare?", kConfirmTotalEng,
               kConfirmTotalEng});
    static constexpr const char* kConfirmMultipartEng =
        "Warning,\r\nthe message will be splitted in more SMS.\r\nTotal SMS number: %d.\r\nContinue?";
    ApplyText(code, ConfirmMultipart,
              {"Attenzione, \r\nil messaggio verrà inviato in più parti.\r\nIl numero totale degli SMS è: "
               "%d.\r\nContinuare?",
               kConfirmMultipartEng, kConfirmMultipartEng});
    ApplyText(code, MediumCaption, {"Messaggio", "Message", "Mensagem"});
    ApplyText(
        code, MediumNotice,
        {"Stai inviando messaggi in media qualità, ti ricordiamo che:\r\n - non hanno mittente "
         "personalizzato\r\n - possono subire ritardi\r\n - non sono garantiti",
         "You are going to send medium quality SMS, we remind you:\r\n - sender isn't customizable\r\n - "
         "recipients could receive sms with delays\r\n - sms delivery isn't guaranteed",
         "Você vai enviar qualidade média SMS, nós vos recordar:\r\n - remetente não é personalizável\r\n "
         "- pode receber sms com atraso\r\n - nós não garantir a entrega deste tipo de sms"});
    ApplyText(code, Sending[0], {"Invio in corso", "Sending", "Enviando"});
    ApplyText(code, Sending[1], {"Invio in corso.", "Sending.", "Enviando."});
    ApplyText(code, Sending[2], {"Invio in corso..", "Sending..", "Enviando.."});
    ApplyText(code, Sending[3], {"Invio in corso...", "Sending...", "Enviando..."});
    ApplyText(code, ScheduledPrefix, {"Pianificato: ", "Delayed: ", "Escondido: "});
}
