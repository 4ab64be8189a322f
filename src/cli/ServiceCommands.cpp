#include "cli/CliCommand.h"
#include "i18n/GlobalTexts.h"
#include "net/NumberLookup.h"
#include "net/ServiceSettings.h"
#include "net/Suggestion.h"
#include "phonebook/PhoneBook.h"
#include "settings/SettingsHolder.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <QTimer>

namespace {
// The service bounds every exchange with its own time-out; this only guards against a wait
// that would never end.
constexpr int kWaitMarginMs = 5000;

bool LoadSettings(TSettingsHolder& settings, CliIo io)
{
    if (settings.LoadSettings(false))
        return true;
    io.err << "brelmont-cli: " << settings.LastError() << '\n';
    return false;
}

// Runs the event loop until one of the two signals of sender fires.
template <typename Sender, typename Done, typename Failed>
void WaitForOutcome(Sender& sender, Done done, Failed failed, int timeOutMs)
{
    QEventLoop loop;
    QObject::connect(&sender, done, &loop, &QEventLoop::quit);
    QObject::connect(&sender, failed, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeOutMs + kWaitMarginMs, &loop, &QEventLoop::quit);
    loop.exec();
}
} // namespace

int RunLookupCommand(const QStringList& args, CliIo io, int timeOutMs)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("NUMBER"), QString());
    if (!parser.parse(QStringList{QStringLiteral("lookup")} + args) ||
        parser.positionalArguments().size() != 1 ||
        parser.positionalArguments().constFirst().trimmed().isEmpty()) {
        io.err << "usage: brelmont-cli lookup NUMBER\n";
        return CliBadArguments;
    }
    const QString number = parser.positionalArguments().constFirst();

    TSettingsHolder settings;
    if (!LoadSettings(settings, io))
        return CliRefused;
    const QString language = settings.GetLanguage(QStringLiteral("ITA"));
    TGlobalTexts global;
    global.ApplyLanguage(language);
    TLookupTexts texts;
    texts.ApplyLanguage(language);

    TNumberLookup lookup([&settings] { return LookupContextOf(settings); });
    if (timeOutMs > 0)
        lookup.SetTimeOut(timeOutMs);
    std::optional<TLookupResponse> response;
    QString problem = QStringLiteral("no outcome");
    QObject::connect(&lookup, &TNumberLookup::lookupDone,
                     [&](quint64, const TLookupResponse& r) { response = r; });
    QObject::connect(&lookup, &TNumberLookup::lookupFailed,
                     [&](quint64, const QString&, const QString& why) { problem = why; });
    lookup.RequestLookup(number);
    WaitForOutcome(lookup, &TNumberLookup::lookupDone, &TNumberLookup::lookupFailed, lookup.TimeOut());

    if (!response) {
        io.out << global.TextRequestFailed << '\n';
        io.err << "brelmont-cli lookup: " << problem << '\n';
        return CliRefused;
    }
    const TNumberDetails& d = response->Details;
    io.out << texts.NumberCaption << ' ' << d.Number << '\n'
           << texts.OperatorCaption << ' ' << d.OperatorName << '\n'
           << texts.MCCCaption << ' ' << d.MCC << '\n'
           << texts.MNCCaption << ' ' << d.MNC << '\n'
           << texts.ZoneCaption << ' ' << d.LocationName << '\n'
           << texts.StatusCaption << ' ' << texts.StatusText(d) << '\n';
    if (response->IsOk())
        return CliOk;
    io.err << (response->BaloonText.isEmpty() ? global.TextRequestFailed : response->BaloonText) << '\n';
    return CliRefused;
}

int RunSuggestCommand(const QStringList& args, CliIo io, QIODevice* input, int timeOutMs)
{
    QCommandLineParser parser;
    const QCommandLineOption textOption(QStringLiteral("text"), QString(), QStringLiteral("text"));
    parser.addOption(textOption);
    if (!parser.parse(QStringList{QStringLiteral("suggest")} + args) ||
        !parser.positionalArguments().isEmpty()) {
        io.err << "usage: brelmont-cli suggest [--text TEXT]   (without --text the text comes from standard "
                  "input)\n";
        return CliBadArguments;
    }
    QString text = parser.value(textOption);
    if (!parser.isSet(textOption)) {
        const std::optional<QString> read = ReadInputText(input, io);
        if (!read)
            return CliRefused;
        text = *read;
    }
    if (text.trimmed().isEmpty()) {
        io.err << "brelmont-cli suggest: the suggestion is empty\n";
        return CliBadArguments;
    }

    TSettingsHolder settings;
    if (!LoadSettings(settings, io))
        return CliRefused;
    TGlobalTexts global;
    global.ApplyLanguage(settings.GetLanguage(QStringLiteral("ITA")));

    TSuggestionSender sender(
        [&settings] { return SuggestionContextOf(settings, TPhoneBook().GetPhoneBookVersion()); });
    if (timeOutMs > 0)
        sender.SetTimeOut(timeOutMs);
    bool sent = false;
    QString problem = QStringLiteral("no outcome");
    QObject::connect(&sender, &TSuggestionSender::suggestionSent, [&sent](quint64) { sent = true; });
    QObject::connect(&sender, &TSuggestionSender::suggestionFailed,
                     [&problem](quint64, const QString& why) { problem = why; });
    sender.SendSuggestion(SuggestionBodyOf(text));
    WaitForOutcome(sender, &TSuggestionSender::suggestionSent, &TSuggestionSender::suggestionFailed,
                   sender.TimeOut());
    if (sent) {
        io.out << global.TextSent << '\n';
        return CliOk;
    }
    io.out << global.TextNotSent << '\n';
    io.err << "brelmont-cli suggest: " << problem << '\n';
    return CliRefused;
}
