#pragma once

#include <QFrame>

// The contact panel (pnContact) above the contacts tree: adds and changes a contact, asks
// before deleting one, and takes a typed or pasted number. Hidden until a command opens it.
class TContactPanel : public QFrame
{
    Q_OBJECT

public:
    explicit TContactPanel(QWidget* parent = nullptr);
};
