#include "lists/SpreadsheetReaders.h"
#include "lists/XlsReply.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <cstring>

namespace {
// Reading a 512 MB workbook takes seconds; a reader still busy after this is stuck.
constexpr int kReaderTimeoutMs = 120000;
// No workbook's records come near this; a reply that does is not read into memory.
constexpr qsizetype kMaxReplySize = qsizetype(1) << 30;

TListFileRecords Failed(const QString& detail)
{
    TListFileRecords read;
    read.Error = TReadError::Make(TReadError::BadSpreadsheet, detail);
    return read;
}

QString SignalText(int signal)
{
    const char* name = sigabbrev_np(signal);
    const QString number = QString::number(signal);
    return name ? number + QStringLiteral(" (SIG") + QLatin1StringView(name) + u')' : number;
}
} // namespace

QStringList XlsReaderPlaces(const QString& programDir)
{
    const QString chosen = qEnvironmentVariable("BRELMONT_XLS_READER");
    if (!chosen.isEmpty())
        return {chosen};
    QStringList places;
    if (!programDir.isEmpty())
        places.append(QDir::cleanPath(programDir + u'/' + QStringLiteral(BRELMONT_XLS_READER_FROM_BIN)));
    places.append(QStringLiteral(BRELMONT_XLS_READER_BUILT));
    return places;
}

TListFileRecords ReadXlsList(const QString& path)
{
    const QStringList places =
        XlsReaderPlaces(QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString());
    for (const QString& place : places) {
        const QFileInfo program(place);
        if (program.isFile() && program.isExecutable())
            return ReadXlsListThrough(place, path, kReaderTimeoutMs);
    }
    return Failed(QStringLiteral("the spreadsheet reader program is missing: ") +
                  places.join(QStringLiteral(", ")));
}

TListFileRecords ReadXlsListThrough(const QString& program, const QString& path, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    QProcess reader;
    // Its diagnostics (a sanitizer's report, say) go where this program's go.
    reader.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    reader.setStandardInputFile(QProcess::nullDevice());
    reader.start(program, {path});
    if (!reader.waitForStarted(timeoutMs))
        return Failed(QStringLiteral("the spreadsheet reader program cannot be started: ") +
                      reader.errorString());
    QByteArray reply;
    while (reader.state() != QProcess::NotRunning) {
        // Without output to wait for (closed, or the time is up) only its end is left to wait for.
        if (!reader.waitForReadyRead(int(deadline.remainingTime())) &&
            reader.state() != QProcess::NotRunning &&
            !reader.waitForFinished(int(deadline.remainingTime()))) {
            reader.kill();
            reader.waitForFinished();
            return Failed(
                QStringLiteral("the spreadsheet reader gave no answer within %1 seconds and was stopped")
                    .arg(timeoutMs / 1000.0));
        }
        reply += reader.readAllStandardOutput();
        if (reply.size() > kMaxReplySize) {
            reader.kill();
            reader.waitForFinished();
            return Failed(
                QStringLiteral("the spreadsheet reader's reply exceeds %1 MB").arg(kMaxReplySize >> 20));
        }
    }
    reply += reader.readAllStandardOutput();
    if (reader.exitStatus() == QProcess::CrashExit)
        return Failed(QStringLiteral("the spreadsheet reader stopped on signal ") +
                      SignalText(reader.exitCode()));
    if (reader.exitCode() != 0)
        return Failed(
            QStringLiteral("the spreadsheet reader ended with exit code %1").arg(reader.exitCode()));
    QString why;
    std::optional<TListFileRecords> read = DecodeXlsReply(reply, &why);
    if (!read)
        return Failed(QStringLiteral("the spreadsheet reader's reply is damaged: ") + why);
    return std::move(*read);
}
