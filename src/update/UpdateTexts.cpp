#include "update/UpdateTexts.h"

#include "i18n/Language.h"

namespace UpdateTexts {

QString NoUpdatesNoticeName()
{
    return QStringLiteral("FR_NOUPDATES");
}

std::optional<QString> NoUpdatesNotice(const QString& code)
{
    return PickText(code, {"Non ci sono aggiornamenti disponibili.", "No updates found for this application.",
                           "Não há atualizações disponíveis."});
}

QString DownloadFailedNoticeName()
{
    return QStringLiteral("FR_UPDATEFAILED");
}

std::optional<QString> DownloadFailedNotice(const QString& code)
{
    return PickText(code, {"Download dell'aggiornamento non riuscito.", "The update could not be downloaded.",
                           "Não foi possível transferir a atualização."});
}

std::optional<QString> SetupNotStartedNotice(const QString& code)
{
    return PickText(code, {"Impossibile avviare il programma di installazione scaricato.",
                           "The downloaded setup program could not be started.",
                           "Não foi possível iniciar o programa de instalação transferido."});
}

} // namespace UpdateTexts
