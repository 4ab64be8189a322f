#include "cli/CliCommand.h"
#include "cli/PhoneBookLists.h"
#include "compose/Destinations.h"
#include "compose/GsmText.h"
#include "compose/MessageCounter.h"
#include "compose/PhoneNumber.h"
#include "i18n/GlobalTexts.h"
#include "net/GatewayResults.h"
#include "net/SMSServer.h"
#include "net/TcpClient.h"
#include "platform/OleDate.h"
#include "platform/SystemFacts.h"
#include "settings/SettingsHolder.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <QRegularExpression>
#include <QTimer>

namespace {

// Longer than both connection attempts (20 s each), a proxy negotiation and the submit pause.
constexpr int kOutcomeWaitMs = 60000;

// The settings, texts and results objects of one command.
struct Session
{
    TSettingsHolder settings;
    TGlobalTexts texts;
    TGatewayResults results{settings, texts};
};

bool LoadSession(Session& s, CliIo io)
{
    if (!s.settings.LoadSettings(false)) {
        io.err << "brelmont-cli: " << s.settings.LastError() << '\n';
        return false;
    }
    s.texts.ApplyLanguage(s.settings.GetLanguage());
    return true;
}

// Runs the event loop until one of the signals fires or the wait runs out; false when it ran out.
template <typename... Outcomes> bool WaitFor(TGatewayResults& results, Outcomes... outcomes)
{
    QEventLoop loop;
    bool arrived = false;
    auto stop = [&] {
        arrived = true;
        loop.quit();
    };
    (QObject::connect(&results, outcomes, &loop, stop), ...);
    QTimer::singleShot(kOutcomeWaitMs, &loop, &QEventLoop::quit);
    loop.exec();
    return arrived;
}

// The destination string as the recipients panel builds it: every --to value may hold several
// numbers separated by ";" or ","; they are cleaned, the members of the --list lists follow, and
// each number is kept once by numeric value.
TDestinations DestinationsOf(const QStringList& values, const QStringList& lists)
{
    return BuildDestinations(SplitNumberArguments(values), lists,
                             lists.isEmpty() ? ListMembersReader() : PhoneBookListReader());
}

// "YYYY-MM-DD HH:MM" as a plain wall-clock time (held as UTC so that no daylight-saving gap of
// the local zone makes it invalid); invalid when the text has another form.
QDateTime WallClockTime(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{4}-\\d{2}-\\d{2}) (\\d{2}:\\d{2})$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return {};
    const QDate date = QDate::fromString(m.captured(1), QStringLiteral("yyyy-MM-dd"));
    const QTime time = QTime::fromString(m.captured(2), QStringLiteral("HH:mm"));
    // An invalid time would silently become midnight.
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, Qt::UTC);
}

} // namespace

int RunSendCommand(const QStringList& args, CliIo io)
{
    QCommandLineParser parser;
    const QCommandLineOption to(QStringLiteral("to"), QString(), QStringLiteral("numbers"));
    const QCommandLineOption list(QStringLiteral("list"), QString(), QStringLiteral("name"));
    const QCommandLineOption text(QStringLiteral("text"), QString(), QStringLiteral("text"));
    const QCommandLineOption quality(QStringLiteral("quality"), QString(), QStringLiteral("high|medium"),
                                     QStringLiteral("high"));
    const QCommandLineOption anonymous(QStringLiteral("anonymous"));
    const QCommandLineOption at(QStringLiteral("at"), QString(), QStringLiteral("YYYY-MM-DD HH:MM"));
    parser.addOptions({to, list, text, quality, anonymous, at});
    if (!ParseCliOptions(parser, QStringLiteral("send"), args, io))
        return CliBadArguments;

    const TDestinations destinations = DestinationsOf(parser.values(to), parser.values(list));
    if (!destinations.RejectedNumbers.isEmpty()) {
        io.err << "brelmont-cli send: not a phone number: '" << destinations.RejectedNumbers.first() << "'\n";
        return CliBadArguments;
    }
    for (const QString& dropped : destinations.DroppedNumberTexts)
        io.err << "brelmont-cli send: left out '" << dropped << "': " << DroppedProblem(dropped) << '\n';
    if (destinations.UniqueRecipients == 0) {
        io.err << "brelmont-cli send: at least one --to NUMBER or --list NAME with members is needed\n";
        return CliBadArguments;
    }
    // The message editor joins lines with CR LF; a shell gives LF.
    const QString message = WithCrLfLineBreaks(parser.value(text));
    if (message.trimmed().isEmpty()) {
        io.err << "brelmont-cli send: --text TEXT is needed\n";
        return CliBadArguments;
    }
    const TTextCount count = CountMessageText(message);
    if (count.TextTooLong) {
        io.err << "brelmont-cli send: the text is too long (" << TMessageCounter::CounterText(count) << ")\n";
        return CliBadArguments;
    }
    const QString qualityName = parser.value(quality).toLower();
    if (qualityName != u"high" && qualityName != u"medium") {
        io.err << "brelmont-cli send: --quality is high or medium\n";
        return CliBadArguments;
    }
    std::optional<QDateTime> scheduledAt;
    if (parser.isSet(at)) {
        const QDateTime chosen = WallClockTime(parser.value(at));
        if (!chosen.isValid()) {
            io.err << "brelmont-cli send: --at takes \"YYYY-MM-DD HH:MM\"\n";
            return CliBadArguments;
        }
        // The program turns a time more than a minute in the past into immediate delivery;
        // from a shell that is more likely a typing error, so it is refused.
        const QDateTime now = SystemFacts::Now();
        if (chosen < QDateTime(now.date(), now.time(), Qt::UTC).addSecs(-60)) {
            io.err << "brelmont-cli send: --at lies in the past\n";
            return CliBadArguments;
        }
        scheduledAt = chosen;
    }

    Session s;
    if (!LoadSession(s, io))
        return CliRefused;
    // The provider's time base is UTC+1; "TimeZone" is the user's offset in whole hours.
    const double schedule =
        scheduledAt ? DateTimeToDays(*scheduledAt) - (s.settings.GetTimeZone() - 1) / 24.0 : 0.0;
    const QByteArray sendText = BuildSendText(message, count.IsUnicode);

    std::optional<std::pair<QString, qint64>> accepted; // sent text, remaining credit
    std::optional<int> refusal;
    QObject::connect(&s.results, &TGatewayService::sendAccepted, [&](const QString& text, qint64 credit) {
        accepted = {text, credit};
    });
    QObject::connect(&s.results, &TGatewayService::sendRefused,
                     [&](int code, const QString&) { refusal = code; });
    if (!s.results.SendSMS(destinations.DestinationString, sendText, count.IsUnicode,
                           qualityName == u"medium" ? 1 : 0, parser.isSet(anonymous), schedule) ||
        !s.results.SendSession() || !s.results.SendSession()->Client()->Active()) {
        io.out << s.texts.TextNotSent << '\n';
        return CliRefused;
    }
    if (!WaitFor(s.results, &TGatewayService::sendAccepted, &TGatewayService::sendRefused)) {
        io.out << s.texts.TextNotSent << '\n';
        io.err << "brelmont-cli send: no answer from the gateway\n";
        return CliRefused;
    }
    if (!accepted) {
        io.out << s.texts.TextNotSent << '\n';
        io.err << "brelmont-cli send: gateway code " << refusal.value_or(0) << '\n';
        return CliRefused;
    }
    io.out << accepted->first << '\n' << s.results.CreditText(accepted->second) << '\n';
    return CliOk;
}

int RunCreditCommand(const QStringList& args, CliIo io)
{
    QCommandLineParser parser;
    if (!ParseCliOptions(parser, QStringLiteral("credit"), args, io))
        return CliBadArguments;
    Session s;
    if (!LoadSession(s, io))
        return CliRefused;
    std::optional<qint64> credit;
    std::optional<QString> refusal;
    QObject::connect(&s.results, &TGatewayService::creditReceived,
                     [&](qint64 thousandths, const QString&, bool) { credit = thousandths; });
    QObject::connect(&s.results, &TGatewayService::loginRefused,
                     [&](int, const QString& text) { refusal = text; });
    s.results.AskCredit(1);
    TSMSServer* session = s.results.CreditSession();
    if (!session || !session->Client()->Active() ||
        !WaitFor(s.results, &TGatewayService::creditReceived, &TGatewayService::loginRefused)) {
        io.out << s.texts.TextNotConnected << '\n';
        return CliRefused;
    }
    if (!credit) {
        io.out << *refusal << '\n';
        return CliRefused;
    }
    io.out << s.results.CreditText(*credit) << '\n';
    return CliOk;
}
