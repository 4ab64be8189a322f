#include "ui/main/RecipientsPanel.h"

TRecipientsPanel::TRecipientsPanel(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("PanelDestinatari"));
    hide();
}

void TRecipientsPanel::Clear()
{
    m_destinations = {};
    hide();
    emit destinationsChanged(m_destinations);
}
