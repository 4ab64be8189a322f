#pragma once

#include <QFrame>

// The recipients panel (PanelDestinatari) under the contacts tree: the contacts, lists and
// numbers the message goes to. Hidden while there are none.
class TRecipientsPanel : public QFrame
{
    Q_OBJECT

public:
    explicit TRecipientsPanel(QWidget* parent = nullptr);
};
