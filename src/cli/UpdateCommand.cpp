#include "cli/CliCommand.h"
#include "platform/OleDate.h"
#include "settings/SettingsHolder.h"
#include "update/SetupDownload.h"
#include "update/UpdateCheck.h"
#include "update/UpdateTexts.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

// Longer than the description's own time-out.
constexpr int kCheckWaitMs = TLastVersionReader::DefaultTimeoutMs + 5000;
constexpr int kBarWidth = 30;

std::atomic<bool> g_interrupted{false};

extern "C" void OnInterrupt(int)
{
    g_interrupted = true;
}

// Ctrl+C or a termination request cancels the download (so no partial file stays) instead of
// ending the process at once; the previous handlers come back afterwards.
class InterruptGuard
{
public:
    InterruptGuard()
    {
        g_interrupted = false;
        m_int = std::signal(SIGINT, OnInterrupt);
        m_term = std::signal(SIGTERM, OnInterrupt);
    }
    ~InterruptGuard()
    {
        std::signal(SIGINT, m_int);
        std::signal(SIGTERM, m_term);
    }
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
    void (*m_int)(int);
    void (*m_term)(int);
};

bool LoadSettings(TSettingsHolder& settings, CliIo io)
{
    if (settings.LoadSettings(false))
        return true;
    io.err << "brelmont-cli: " << settings.LastError() << '\n';
    return false;
}

// "[#######.......]  42%  1234/5678 KiB"; a bar of dots going round when the size is unknown.
QString ProgressLine(qint64 received, qint64 total)
{
    const qint64 kib = received / 1024;
    if (total <= 0) {
        QString bar(kBarWidth, u'.');
        bar[static_cast<int>(kib % kBarWidth)] = u'#';
        return QStringLiteral("[%1]  %2 KiB").arg(bar).arg(kib);
    }
    const qint64 filled = std::min<qint64>(kBarWidth, received * kBarWidth / total);
    const QString bar = QString(filled, u'#') + QString(kBarWidth - filled, u'.');
    return QStringLiteral("[%1] %2%  %3/%4 KiB")
        .arg(bar)
        .arg(received * 100 / total, 3)
        .arg(kib)
        .arg(total / 1024);
}

int RunCheck(const QStringList& args, CliIo io)
{
    QCommandLineParser parser;
    const QCommandLineOption manualOption(QStringLiteral("manual"));
    parser.addOption(manualOption);
    if (!ParseCliOptions(parser, QStringLiteral("update check"), args, io))
        return CliBadArguments;
    const bool manual = parser.isSet(manualOption);

    TSettingsHolder settings;
    if (!LoadSettings(settings, io))
        return CliRefused;
    TUpdateCheck check;
    check.SetDescriptionUrl(DescriptionUrl(settings.GetEndpoints().WebBaseUrl));
    QObject::connect(&check, &TUpdateCheck::nextUpdateExpireChanged, &settings,
                     &TSettingsHolder::SetNextUpdateExpire);
    io.out << "Installed version: " << check.ProgramVersion() << '\n';
    if (!check.CheckForUpdates(manual, settings.GetNextUpdateExpire())) {
        io.err
            << "brelmont-cli update check: no automatic check before "
            << DaysToDateTime(settings.GetNextUpdateExpire()).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
            << "; --manual checks now\n";
        return CliRefused;
    }

    QEventLoop loop;
    std::optional<bool> newer;
    QObject::connect(&check, &TUpdateCheck::checkFailed, &loop, [io](const QString& reason) {
        io.err << "brelmont-cli update check: " << reason << '\n';
    });
    QObject::connect(&check, &TUpdateCheck::newerVersionFound, &loop, [&] {
        newer = true;
        loop.quit();
    });
    QObject::connect(&check, &TUpdateCheck::noUpdate, &loop, [&] {
        newer = false;
        loop.quit();
    });
    QTimer::singleShot(kCheckWaitMs, &loop, &QEventLoop::quit);
    loop.exec();
    if (!newer) {
        io.err << "brelmont-cli update check: no answer\n";
        return CliRefused;
    }
    const TRecLastVersion& record = check.LastRecord();
    io.out << "Published version: " << (record.Version.isEmpty() ? QStringLiteral("(none)") : record.Version)
           << '\n';
    io.out << "Newer: " << (*newer ? "yes" : "no") << '\n';
    if (*newer) {
        io.out << "Setup: " << record.Setup << '\n';
        return CliOk;
    }
    if (manual) {
        if (const auto notice = UpdateTexts::NoUpdatesNotice(settings.GetLanguage()))
            io.out << *notice << '\n';
    }
    return CliRefused;
}

int RunDownload(const QStringList& args, CliIo io, bool terminal)
{
    QCommandLineParser parser;
    const QCommandLineOption noRun(QStringLiteral("no-run"));
    const QCommandLineOption output(QStringLiteral("output"), QString(), QStringLiteral("file"));
    parser.addOptions({noRun, output});
    if (!ParseCliOptions(parser, QStringLiteral("update download"), args, io))
        return CliBadArguments;
    if (parser.isSet(output) && parser.value(output).isEmpty()) {
        io.err << "brelmont-cli update download: --output needs a file name\n";
        return CliBadArguments;
    }

    TSettingsHolder settings;
    if (!LoadSettings(settings, io))
        return CliRefused;
    TSetupDownload download;
    download.SetDescriptionUrl(DescriptionUrl(settings.GetEndpoints().WebBaseUrl));
    download.SetRunSetup(!parser.isSet(noRun));
    if (parser.isSet(output))
        download.SetOutputFile(QFileInfo(parser.value(output)).absoluteFilePath());

    QEventLoop loop;
    bool barShown = false;
    int code = CliRefused;
    QObject::connect(&download, &TSetupDownload::progress, &loop, [&](qint64 received, qint64 total) {
        if (!terminal)
            return;
        io.err << '\r' << ProgressLine(received, total);
        io.err.flush();
        barShown = true;
    });
    auto endBar = [&] {
        if (barShown)
            io.err << '\n';
    };
    QObject::connect(&download, &TSetupDownload::finished, &loop, [&](const QString& file) {
        endBar();
        io.out << "Saved: " << file << '\n';
        if (!parser.isSet(noRun))
            io.out << "Started: " << file << '\n';
        code = CliOk;
        loop.quit();
    });
    QObject::connect(&download, &TSetupDownload::failed, &loop,
                     [&](TFileDownload::Failure failure, const QString& detail) {
                         endBar();
                         io.err << "brelmont-cli update download: " << FailureName(failure) << ": " << detail
                                << '\n';
                         loop.quit();
                     });
    InterruptGuard guard;
    QTimer interruptPoll;
    QObject::connect(&interruptPoll, &QTimer::timeout, &loop, [&] {
        if (g_interrupted.exchange(false))
            download.Cancel();
    });
    interruptPoll.start(100);
    download.Start();
    loop.exec();
    return code;
}

} // namespace

int RunUpdateCommand(const QStringList& args, CliIo io, std::optional<bool> stderrIsTerminal)
{
    const QString sub = args.value(0);
    if (sub == u"check")
        return RunCheck(args.mid(1), io);
    if (sub == u"download")
        return RunDownload(args.mid(1), io, stderrIsTerminal.value_or(isatty(fileno(stderr)) == 1));
    io.err << "usage: brelmont-cli update check [--manual] | download [--no-run] [--output FILE]\n";
    return CliBadArguments;
}
