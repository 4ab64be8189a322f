#include "ui/main/SendControls.h"

TSendControls::TSendControls(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pnSendControls"));
}
