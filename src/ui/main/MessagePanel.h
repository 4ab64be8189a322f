#pragma once

#include "compose/Destinations.h"
#include "compose/MessageCounter.h"

#include <QFrame>
#include <QPalette>

class QLabel;
class QPlainTextEdit;
class TGatewayService;
class TRecipientsPanel;
class TSendControls;
class TSettingsHolder;

// The message panel (PanelTextMessage) at the bottom of the main window: the caption, the
// counter lblNChars, the message box TNTMemoMessage and the command panel with the send
// controls. It recounts the message on every change of the text or of the recipients, runs the
// send (checks, confirmation, hand-over to the gateway) and shows the sent state.
class TMessagePanel : public QFrame
{
    Q_OBJECT

public:
    static constexpr int Height = 207;
    static constexpr int ConfirmAbove = 5; // SMS of one submission sent without asking
    static QColor LightRed() { return {255, 235, 234}; }
    static QColor LockedText() { return {128, 128, 128}; }

    // recipients: read through its destinations, cleared when Continue starts a new message.
    TMessagePanel(TSettingsHolder& settings, TGatewayService& gateway, TRecipientsPanel& recipients,
                  QWidget* parent = nullptr);
    ~TMessagePanel() override;

    TSendControls* SendControls() const { return m_sendControls; }
    const TMessageCounter& Counter() const { return m_counter; }
    const TComposeTexts& Texts() const { return m_counter.Texts(); }
    const TDestinations& Destinations() const { return m_destinations; }

    void ApplyLanguage(const QString& code);

    // The recount of the message and of the recipients' counts.
    void TNTMemoMessageChange();
    // The send: the checks in their order, the confirmation, the hand-over.
    void BtnInviaSMSClick();
    // Alt+S: sends like the button, while the button is in view and usable.
    void SendShortcut();
    // The gateway accepted the message: result text, Continue and Close; the text is locked.
    void ShowSent(const QString& resultText);
    // Continue (tag 1) and Close (tag 2) of the sent state: back to an empty message.
    void BtnChiudiClick(int tag);
    bool IsSentState() const;
    void LockMessageText();
    void UnlockMessageText();

    QLabel* lblCaption;
    QLabel* lblNChars;
    QPlainTextEdit* TNTMemoMessage;

signals:
    // The recipients label lblDestinatari of the recipients panel.
    void recipientsLabelChanged(const QString& text);
    // Status panel 1: the too-long notice, or empty.
    void statusTextChanged(const QString& text);
    // The submission was handed over (the sending animation starts) or could not even start.
    void sendingStarted();
    void sendNotStarted();
    // The sent state was entered, or left by Continue or Close (tag).
    void sentStateEntered();
    void sentStateLeft(int tag);

private:
    void OnDestinationsChanged(const TDestinations& destinations);
    void ShowUnicodeWarning();
    void ShowColours();
    int ShowMessage(int buttons, const QString& caption, const QString& text) const;

    TSettingsHolder& m_settings;
    TGatewayService& m_gateway;
    TRecipientsPanel& m_recipients;
    TMessageCounter m_counter;
    TRecountResult m_last;
    TDestinations m_destinations;
    TSendControls* m_sendControls;
    QPalette m_memoPalette;
    QString m_language;
    bool m_emptyMarked = false; // refused for an empty text: red until the text changes
    bool m_locked = false;
    bool m_sendPending = false; // Send pressed while the recipients were still being read
};
