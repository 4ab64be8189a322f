#pragma once

#include <QString>

// What the send and credit results do to the main window. The main window implements it;
// brelmont-cli and the tests use their own implementations. Every call comes on the UI thread.
class IGatewayResultView
{
public:
    virtual ~IGatewayResultView() = default;

    // The credit notice strip named "FrCredit" (kind 0): shows text, or replaces the text of
    // the notice already shown, and starts the timer that removes it after 30 s.
    virtual void ShowCreditNotice(const QString& text) = 0;
    // The credit kept for the status bar, in thousandths of a euro.
    virtual void SetCredit(qint64 thousandths) = 0;
    // The connection light: false green (last exchange worked), true red.
    virtual void SetConnectionState(bool error) = 0;
    // Lets the window lay itself out again (the notice strips may have changed).
    virtual void Relayout() = 0;
    // Neither minimised nor maximised.
    virtual bool IsWindowStateNormal() const = 0;
    // Stops the "sending..." animation.
    virtual void StopSendingAnimation() = 0;
    // The result text panel of the status bar; an empty text clears it.
    virtual void SetStatusText(const QString& text) = 0;
    // Starts the 8 s timer that empties the result text panel.
    virtual void StartStatusClearTimer() = 0;
    // After an accepted submission: options back to custom sender and immediate delivery,
    // their panels hidden, the sent label showing sentText, Send hidden and Close/Continue
    // shown, the message text locked, recipients, contacts tree and tool bar disabled.
    virtual void EnterSentState(const QString& sentText) = 0;
    // The modal test-account notice placed beside the main window (demo account sends).
    virtual void ShowTestAccountNotice() = 0;
};
