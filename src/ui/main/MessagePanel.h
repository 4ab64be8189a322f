#pragma once

#include <QFrame>

class TSendControls;

// The message panel (PanelTextMessage) at the bottom of the main window: the message box
// with its counter, and the send controls.
class TMessagePanel : public QFrame
{
    Q_OBJECT

public:
    static constexpr int Height = 207;

    explicit TMessagePanel(QWidget* parent = nullptr);
    TSendControls* SendControls() const { return m_sendControls; }

private:
    TSendControls* m_sendControls;
};
