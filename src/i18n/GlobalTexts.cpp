#include "i18n/GlobalTexts.h"

#include "i18n/Language.h"

TGlobalTexts::TGlobalTexts()
{
    ApplyLanguage(QStringLiteral("ITA"));
}

void TGlobalTexts::ApplyLanguage(const QString& code)
{
    ApplyText(code, TextRequestDone, {"Richiesta riuscita.", "Query done.", "Pedido com sucesso."});
    ApplyText(code, TextRequestFailed, {"Richiesta non riuscita.", "Query failed.", "Pedido nao conseguido."});
    ApplyText(code, TextSent, {"Invio riuscito", "Message sent", "Envio com sucesso"});
    ApplyText(code, TextNotSent, {"Invio non riuscito", "Message not sent", "Envio nao conseguido"});
    ApplyText(code, TextMemoryError,
              {"Allocazione memoria fallita!", "Memory allocation error!", "Erro do alocamento de memoria!"});
    ApplyText(code, TextBadLogin, {"UserID/Password errati.", "UserID/Password syntax error.", "UserID/Password errados"});
    ApplyText(code, TextTimeout, {"Timeout connessione.", "Connection timeout.", "Incapaz de login"});
    ApplyText(code, TextNotConnected,
              {"Non connesso, controlla internet/firewall.", "Not Connected, check internet/firewall.",
               "Incapaz de login"});
    ApplyText(code, TextNotConnectedAv,
              {"Non connesso, controlla antivirus/firewall.", "Not Connected, check antivirus/firewall.",
               "Incapaz de login (antivirus/firewall)"});
    ApplyText(code, TextCreditPrefix, {"Credito: ", "Credits: ", "Credito: "});
    ApplyText(code, TextNewVersionLink,
              {" Scarica qui la nuova versione.", " Download a new version.", " Uma nova versão já está disponível."});
}
