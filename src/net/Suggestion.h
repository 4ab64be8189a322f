#pragma once

#include "net/ClientIdentity.h"
#include "net/ServiceExchange.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>

// Everything a suggestion carries besides its text.
struct TSuggestionContext
{
    TServiceRoute Route; // the suggestion host and port
    TServiceAccount Account;
    TClientIdentity Identity;
    int TimeZone = 0;          // whole hours, -12..12
    int PhoneBookVersion = -1; // as the phone book reports it
    bool DisableSound = false;
    bool RunAtStartup = false;
    QString Sender;
};

// The suggestion text as the form carries it: Windows-1252 ('?' for characters it lacks), line
// breaks as CR LF like the Windows text box gives them.
QByteArray SuggestionBodyOf(const QString& text);
// The form text: the fields in their fixed order, values inserted as they are (no URL encoding).
// body is the suggestion as Windows-1252 bytes.
QByteArray BuildSuggestionForm(const TSuggestionContext& context, const QDateTime& at,
                               const QByteArray& body);
// The HTTP request carrying the enciphered form text.
QByteArray BuildSuggestionRequest(const QString& host, const QByteArray& cipherBody);
// Success: "+OK" anywhere in the first 2000 bytes of the reply, in any letter case.
bool IsSuggestionAccepted(const QByteArray& reply);

// Sends suggestions to the provider's suggestion page, each on a connection of its own.
class TSuggestionSender : public TServiceRequester
{
    Q_OBJECT

public:
    static constexpr qsizetype MaxReplyBytes = 2000;

    // context is asked at every suggestion, so the current account and proxy are used.
    explicit TSuggestionSender(std::function<TSuggestionContext()> context, QObject* parent = nullptr);
    ~TSuggestionSender() override;

    // body: the suggestion as Windows-1252 bytes. Returns the id its outcome will carry.
    quint64 SendSuggestion(const QByteArray& body);

    // Decided at "+OK", at 2000 bytes, at the end of the HTTP reply or when the peer closes.
    static TServiceExchange::Judgement JudgeReply(const QByteArray& reply, bool closed, bool truncated);

signals:
    void suggestionSent(quint64 id);
    // A reply without "+OK", or no reply at all; problem says which.
    void suggestionFailed(quint64 id, const QString& problem);

private:
    std::function<TSuggestionContext()> m_context;
};
