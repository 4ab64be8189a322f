#include "ui/main/RecipientsPanel.h"

TRecipientsPanel::TRecipientsPanel(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("PanelDestinatari"));
    hide();
}
