#include "ui/main/MessagePanel.h"

#include "ui/main/SendControls.h"

#include <QVBoxLayout>

TMessagePanel::TMessagePanel(QWidget* parent) : QFrame(parent), m_sendControls(new TSendControls(this))
{
    setObjectName(QStringLiteral("PanelTextMessage"));
    setFrameShape(QFrame::StyledPanel);
    setFixedHeight(Height);
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(m_sendControls);
}
