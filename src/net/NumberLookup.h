#pragma once

#include "net/ClientIdentity.h"
#include "net/ServiceEnvelope.h"
#include "net/ServiceExchange.h"

#include <QObject>
#include <QString>
#include <functional>

// Everything a lookup request needs besides the number.
struct TLookupContext
{
    TServiceRoute Route;
    TServiceAccount Account;
    TClientIdentity Identity;
};

// The texts of the lookup command, its status-bar animation and the details window, for one
// language (Italian until ApplyLanguage says otherwise).
struct TLookupTexts
{
    QString ConfirmCaption;
    QString ConfirmText;
    QString Lookup[4];
    QString WindowCaption;
    QString NumberCaption;
    QString OperatorCaption;
    QString MCCCaption;
    QString MNCCaption;
    QString ZoneCaption;
    QString StatusCaption;
    QString OkCaption;
    QString Reachable;
    QString NotReachable;

    TLookupTexts();
    void ApplyLanguage(const QString& code);
    // The animation step after current: Lookup0 gives Lookup1 ... Lookup2 gives Lookup3, and
    // anything else (Lookup3 included) gives Lookup0.
    QString NextAnimationText(const QString& current) const;
    QString StatusText(const TNumberDetails& details) const;
};

// The number lookup of the data module: one enciphered MESSAGE request of type "Lookup" per
// number, each on a connection of its own, and the reply read into the details of the number.
class TNumberLookup : public TServiceRequester
{
    Q_OBJECT

public:
    // A lookup reply is a few hundred bytes; anything beyond this is not one.
    static constexpr qsizetype MaxReplyBytes = 64 * 1024;

    // context is asked at every request, so the current account, language and proxy are used.
    explicit TNumberLookup(std::function<TLookupContext()> context, QObject* parent = nullptr);
    ~TNumberLookup() override;

    // Builds, enciphers and sends the request; returns the id its outcome will carry.
    quint64 RequestLookup(const QString& number);

    // The judge of a lookup reply: complete once it deciphers to a whole document.
    static TServiceExchange::Judgement JudgeReply(const QByteArray& reply, bool closed, bool truncated);

signals:
    // A reply was read; response.IsOk() tells whether the service answered the question.
    void lookupDone(quint64 id, const TLookupResponse& response);
    // No readable reply: refused or failed connection, time-out, or a reply that is not one.
    void lookupFailed(quint64 id, const QString& number, const QString& problem);

private:
    std::function<TLookupContext()> m_context;
};
