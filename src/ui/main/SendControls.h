#pragma once

#include <QWidget>

// The send controls under the message box: quality, sender, delivery time and the Send
// button, and the sent state's Close and Continue.
class TSendControls : public QWidget
{
    Q_OBJECT

public:
    explicit TSendControls(QWidget* parent = nullptr);
};
