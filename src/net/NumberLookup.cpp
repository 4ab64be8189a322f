#include "net/NumberLookup.h"

#include "i18n/Language.h"
#include "net/Cipher.h"
#include "platform/SystemFacts.h"

namespace {
const QByteArray kMarker = QByteArrayLiteral("{02}");
constexpr int kBlock = 16;
} // namespace

// ---------------------------------------------------------------------------------------------
// TLookupTexts

TLookupTexts::TLookupTexts()
{
    ApplyLanguage(QStringLiteral("ITA"));
}

void TLookupTexts::ApplyLanguage(const QString& code)
{
    ApplyText(code, ConfirmCaption, {"Controllo stato", "Number lookup", "Controlo status"});
    ApplyText(code, ConfirmText,
              {"Il costo del servizio di \"controllo stato\" è di un SMS. Vuoi continuare?",
               "Price of \"number lookup\" service is of 1 SMS. Continue?",
               "O custo do serviço do “Controlo status” e de 1 SMS. Continuar?"});
    const Tr base{"Lookup in corso", "Getting info", "Iniciando"};
    if (const auto text = PickText(code, base))
        for (int dots = 0; dots < 4; ++dots)
            Lookup[dots] = *text + QString(dots, u'.');
    ApplyText(code, WindowCaption, {"Dettagli", "Details:", "Detalhes"});
    ApplyText(code, NumberCaption, {"Numero:", "Number:", "Numero:"});
    ApplyText(code, OperatorCaption, {"Operatore:", "Operator:", "Operador:"});
    ApplyText(code, MCCCaption, {"MCC:", "MCC:", "MCC:"});
    ApplyText(code, MNCCaption, {"MNC:", "MNC:", "MNC:"});
    ApplyText(code, ZoneCaption, {"Zona:", "Zone:", "Zona:"});
    ApplyText(code, StatusCaption, {"Stato dispositivo:", "Device status:", "Status dispositivo:"});
    ApplyText(code, OkCaption, {"Ok", "Ok", "Ok"});
    ApplyText(code, Reachable, {"raggiungibile", "reachable", "Alcançavel"});
    ApplyText(code, NotReachable, {"non raggiungibile", "not reachable", "Inalcançavel"});
}

QString TLookupTexts::NextAnimationText(const QString& current) const
{
    return NextInCycle(current, Lookup, 4);
}

QString TLookupTexts::StatusText(const TNumberDetails& details) const
{
    return details.IsReachable() ? Reachable : NotReachable;
}

// ---------------------------------------------------------------------------------------------
// TNumberLookup

TNumberLookup::TNumberLookup(std::function<TLookupContext()> context, QObject* parent)
    : TServiceRequester(parent), m_context(std::move(context))
{
}

TNumberLookup::~TNumberLookup() = default;

quint64 TNumberLookup::RequestLookup(const QString& number)
{
    const TLookupContext context = m_context();
    TEnvelopeFields fields;
    fields.At = SystemFacts::Now();
    fields.UserName = context.Account.UserName;
    fields.Password = context.Account.Password;
    fields.Type = QByteArrayLiteral("Lookup");
    fields.Language = context.Account.Language;
    fields.Destination = number;
    fields.Identity = context.Identity;
    return StartExchange(
        context.Route, EncryptString(BuildEnvelope(fields)), MaxReplyBytes, &TNumberLookup::JudgeReply,
        [this, number](quint64 id, bool ok, const QString& problem, const QByteArray& reply) {
            if (ok)
                emit lookupDone(id, ParseLookupReply(DecryptString(reply), number).response);
            else
                emit lookupFailed(id, number, problem);
        });
}

TServiceExchange::Judgement TNumberLookup::JudgeReply(const QByteArray& reply, bool closed, bool truncated)
{
    using V = TServiceExchange::Verdict;
    if (truncated)
        return {V::Bad, QStringLiteral("the reply is longer than %1 bytes").arg(MaxReplyBytes)};
    if (!kMarker.startsWith(reply.left(kMarker.size())))
        return {V::Bad, QStringLiteral("the reply is not cipher text")};
    // Cipher text is deciphered a whole block at a time.
    if (reply.size() < kMarker.size() || (reply.size() - kMarker.size()) % kBlock != 0)
        return {V::NeedMore, {}};
    const TLookupReplyParse parse = ParseLookupReply(DecryptString(reply), QString());
    if (parse.state == TLookupReplyParse::Complete)
        return {V::Complete, {}};
    if (parse.state == TLookupReplyParse::Malformed)
        return {V::Bad, QStringLiteral("the reply is not a readable document: %1").arg(parse.error)};
    return {closed ? V::Bad : V::NeedMore, QStringLiteral("the reply ends before its document does")};
}
