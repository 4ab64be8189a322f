#include "cli/CliCommand.h"
#include "compose/Destinations.h"
#include "compose/GsmText.h"
#include "compose/MessageCounter.h"
#include "compose/PhoneNumber.h"
#include "settings/SettingsHolder.h"

#include <QFile>

namespace {

void PrintUsage(QTextStream& err)
{
    err << "usage: brelmont-cli count [--text TEXT] [--recipients N [--duplicates N]]\n"
           "                          [--to NUMBER]... [--numbers-file FILE] [--list NAME]...\n"
           "                          [--destinations-out FILE] [--language ITA|ENG|POR]\n"
           "Counts TEXT (or standard input, less its final line break) the way the message box does:\n"
           "line breaks count as CR LF.\n"
           "--to, --numbers-file and --list build the recipients as the recipients panel does, instead of\n"
           "--recipients. FILE holds numbers in UTF-8, one a line (or several, as a --to value holds).\n"
           "--destinations-out writes the destination string to FILE instead of standard output.\n";
}

struct CountOptions
{
    QString text;
    bool haveText = false;
    int recipients = 0;
    int duplicates = 0;
    bool haveCounts = false;
    QStringList numbers;
    QString numbersFile;
    QStringList lists;
    QString destinationsOut;
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
        } else if (option == u"--numbers-file") {
            o.numbersFile = value;
        } else if (option == u"--destinations-out") {
            o.destinationsOut = value;
        } else if (option == u"--list") {
            o.lists << value;
        } else if (option == u"--language") {
            o.language = value;
        } else {
            PrintUsage(io.err);
            return std::nullopt;
        }
    }
    const bool building = !o.numbers.isEmpty() || !o.numbersFile.isEmpty() || !o.lists.isEmpty();
    if (o.haveCounts && building) {
        io.err << "brelmont-cli: give either --recipients/--duplicates or --to/--numbers-file/--list\n";
        return std::nullopt;
    }
    if (!o.destinationsOut.isEmpty() && !building) {
        io.err << "brelmont-cli: --destinations-out needs --to, --numbers-file or --list\n";
        return std::nullopt;
    }
    return o;
}

// The text of a numbers file (UTF-8, with or without its mark).
std::optional<QString> ReadNumbersFile(const QString& path, CliIo io)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        io.err << "brelmont-cli: cannot read " << path << ": " << file.errorString() << '\n';
        return std::nullopt;
    }
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

// Written as sort -o writes: no sync to disk; a file cut short by a failure is removed.
bool WriteDestinations(const QString& path, const QString& destinations, CliIo io)
{
    QFile file(path);
    const QByteArray bytes = destinations.toLatin1();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size() ||
        !file.flush()) {
        io.err << "brelmont-cli: cannot write " << path << ": " << file.errorString() << '\n';
        file.remove();
        return false;
    }
    return true;
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
    const bool building = !o->numbers.isEmpty() || !o->numbersFile.isEmpty() || !o->lists.isEmpty();
    if (building) {
        QString fromFile;
        if (!o->numbersFile.isEmpty()) {
            std::optional<QString> text = ReadNumbersFile(o->numbersFile, io);
            if (!text)
                return CliRefused;
            fromFile = std::move(*text);
        }
        destinations = BuildDestinations(SplitNumberArguments(o->numbers), fromFile, o->lists, readList);
        for (const QString& rejected : destinations.RejectedNumbers)
            io.err << "brelmont-cli: not a phone number, left out: '" << rejected << "'\n";
        for (const QString& dropped : destinations.DroppedNumberTexts)
            io.err << "brelmont-cli: left out '" << dropped << "': " << DroppedProblem(dropped) << '\n';
        if (!o->destinationsOut.isEmpty() &&
            !WriteDestinations(o->destinationsOut, destinations.DestinationString, io))
            return CliRefused;
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
    if (building && o->destinationsOut.isEmpty())
        io.out << "destinations: " << destinations.DestinationString << '\n';
    return CliOk;
}
