#pragma once

#include <QFrame>

// The phone book's area of the main window: the contacts tree, and the grey logo area while
// the phone book is empty.
class TContactsPane : public QFrame
{
    Q_OBJECT

public:
    explicit TContactsPane(QWidget* parent = nullptr);
};
