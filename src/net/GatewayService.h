#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// What the program asks of the gateway and what it hears back. The data module's
// TGatewayResults is the real one; the main window's areas, the program's sounds and
// brelmont-cli connect to its signals, and window tests put a counting stand-in in its place.
class TGatewayService : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // text: Windows-1252 bytes, or UCS-2 as hexadecimal digits when unicode is true.
    // scheduleTime: days since 1899-12-30 at the provider's time base, 0 for immediate.
    // Returns false when the submission could not even start (nothing is reported then).
    virtual bool SendSMS(const QString& destinations, const QByteArray& text, bool unicode,
                         quint8 qualityIndex, bool anonymous, double scheduleTime) = 0;
    // showResult 1 shows the credit notice, 0 keeps the query silent.
    virtual void AskCredit(quint8 showResult) = 0;
    // Releases the gateway sessions so the next exchange logs in with the current account.
    virtual void DropSessions() = 0;

signals:
    // A login worked: the credit in thousandths of a euro and its text; showNotice when the
    // user asked for it (the credit notice strip), false for a silent query.
    void creditReceived(qint64 thousandths, const QString& creditText, bool showNotice);
    // The last exchange worked (false) or failed (true).
    void connectionStateChanged(bool error);
    // A credit query's login was refused or its connection failed: the status number and the
    // text chosen by it.
    void loginRefused(int status, const QString& statusText);
    // The gateway accepted a submission: the sent text and the remaining credit.
    void sendAccepted(const QString& sentText, qint64 remainingCredit);
    // A submission was refused or its connection failed: the gateway's code and the not-sent text.
    void sendRefused(int code, const QString& notSentText);
    // A submission with the demo account went through: the demo-account notice is due.
    void demoNoticeDue();
};
