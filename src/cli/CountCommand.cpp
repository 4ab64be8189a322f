#include "cli/CliCommand.h"
#include "compose/Destinations.h"
#include "compose/GsmText.h"
#include "compose/MessageCounter.h"
#include "compose/PhoneNumber.h"
#include "settings/SettingsHolder.h"

namespace {

void PrintUsage(QTextStream& err)
{
    err << "usage: brelmont-cli count [--text TEXT] [--recipients N [--duplicates N]]\n"
           "                          [--to NUMBER]... [--list NAME]... [--language ITA|ENG|POR]\n"
           "Counts TEXT (or standard input, less its final line break) the way the message box does:\n"
           "line breaks count as CR LF.\n"
           "--to and --list build the recipients as the recipients panel does, instead of --recipients.\n";
}

struct CountOptions
{
    QString text;
    bool haveText = false;
    int recipients = 0;
    int duplicates = 0;
    bool haveCounts = false;
    QStringList numbers;
    QStringList lists;
    QString language;
};

bool ParseCount(const QString& value, int* target, QTextStream& err, const char* option)
{
    bool ok = false;
    const int n = value.toInt(&ok);
    if (!ok || n < 0) {
        err << "brelmont-cli: " << option << " expects a number of 0 or more, not '" << value << "'\n";
        return false;
    }
    *target = n;
    return true;
}

std::optional<CountOptions> ParseOptions(const QStringList& args, CliIo io)
{
    CountOptions o;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& option = args[i];
        if (i + 1 >= args.size()) {
            PrintUsage(io.err);
            return std::nullopt;
        }
        const QString& value = args[++i];
        if (option == u"--text") {
            o.text = value;
            o.haveText = true;
        } else if (option == u"--recipients") {
            if (!ParseCount(value, &o.recipients, io.err, "--recipients"))
                return std::nullopt;
            o.haveCounts = true;
        } else if (option == u"--duplicates") {
            if (!ParseCount(value, &o.duplicates, io.err, "--duplicates"))
                return std::nullopt;
            o.haveCounts = true;
        } else if (option == u"--to") {
            o.numbers << value;
        } else if (option == u"--list") {
            o.lists << value;
        } else if (option == u"--language") {
            o.language = value;
        } else {
            PrintUsage(io.err);
            return std::nullopt;
        }
    }
    if (o.haveCounts && !(o.numbers.isEmpty() && o.lists.isEmpty())) {
        io.err << "brelmont-cli: give either --recipients/--duplicates or --to/--list\n";
        return std::nullopt;
    }
    return o;
}

QString YesNo(bool b)
{
    return b ? QStringLiteral("yes") : QStringLiteral("no");
}

} // namespace

int RunCountCommand(const QStringList& args, CliIo io,
                    const std::function<QStringList(const QString&)>& readList, QIODevice* input)
{
    std::optional<CountOptions> o = ParseOptions(args, io);
    if (!o)
        return CliBadArguments;
    if (!o->lists.isEmpty() && !readList) {
        io.err << "brelmont-cli: lists cannot be read: this build has no phone book\n";
        return CliBadArguments;
    }
    if (!o->haveText) {
        const std::optional<QString> text = ReadInputText(input, io);
        if (!text)
            return CliRefused;
        o->text = *text;
    }
    QString language = o->language;
    if (language.isEmpty()) {
        TSettingsHolder settings;
        settings.LoadSettings(false);
        language = settings.GetLanguage(QStringLiteral("ITA"));
    }

    TDestinations destinations;
    const bool building = !o->numbers.isEmpty() || !o->lists.isEmpty();
    if (building) {
        destinations = BuildDestinations(SplitNumberArguments(o->numbers), o->lists, readList);
        for (const QString& rejected : destinations.RejectedNumbers)
            io.err << "brelmont-cli: not a phone number, left out: '" << rejected << "'\n";
        for (const QString& dropped : destinations.DroppedNumberTexts)
            io.err << "brelmont-cli: left out '" << dropped << "': " << DroppedProblem(dropped) << '\n';
    } else {
        destinations.UniqueRecipients = o->recipients;
        destinations.DuplicateRecipients = o->duplicates;
    }

    TMessageCounter counter;
    counter.ApplyLanguage(language);
    const TRecountResult r = counter.Recount(WithCrLfLineBreaks(o->text), destinations.UniqueRecipients,
                                             destinations.DuplicateRecipients, false);
    io.out << "counter: " << r.CounterText << '\n'
           << "parts: " << r.Text.Parts << '\n'
           << "total-sms: " << r.TotalSms << '\n'
           << "unicode: " << YesNo(r.Text.IsUnicode) << '\n'
           << "too-long: " << YesNo(r.Text.TextTooLong) << '\n'
           << "recipients: " << destinations.UniqueRecipients << '\n'
           << "duplicates: " << destinations.DuplicateRecipients << '\n'
           << "label: " << r.RecipientsLabel << '\n'
           << "send: " << r.SendCaption << '\n';
    if (!r.StatusText.isEmpty())
        io.out << "status: " << r.StatusText << '\n';
    if (building)
        io.out << "destinations: " << destinations.DestinationString << '\n';
    return CliOk;
}
