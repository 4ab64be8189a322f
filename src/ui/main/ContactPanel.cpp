#include "ui/main/ContactPanel.h"

TContactPanel::TContactPanel(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("pnContact"));
    hide();
}
