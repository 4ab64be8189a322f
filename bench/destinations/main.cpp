// 1,000,000 recipient numbers (10% duplicates, mixed spellings) through CleanPhoneNumber and
// the destination builder, against `sort -u` on the same numbers in the same run.
// Prints both times and the ratio, and times ParseNumberList on a pasted list of 100,000 lines.
// --small runs 10,000 numbers (smoke test).
#include "compose/Destinations.h"
#include "compose/PhoneNumber.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

QString Spell(quint64 national, int style)
{
    const QString digits = QString::number(national);
    switch (style) {
    case 0:
        return QStringLiteral("+39") + digits;
    case 1:
        return QStringLiteral("0039 ") + digits.left(3) + u' ' + digits.mid(3);
    case 2:
        return QStringLiteral("+39 (") + digits.left(3) + QStringLiteral(") ") + digits.mid(3, 3) + u'-' +
               digits.mid(6);
    default:
        return QStringLiteral("39") + digits;
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const bool small = app.arguments().contains(QStringLiteral("--small"));
    const int total = small ? 10000 : 1000000;
    const int uniqueCount = total - total / 10;

    // The same spelling for repeats of a number, so `sort -u` sees the duplicates too.
    QRandomGenerator random(20261209);
    QStringList numbers;
    numbers.reserve(total);
    for (int i = 0; i < uniqueCount; ++i)
        numbers.append(Spell(3000000000ULL + random.bounded(999999999U), i % 4));
    for (int i = uniqueCount; i < total; ++i)
        numbers.append(numbers[random.bounded(uniqueCount)]);
    for (int i = total - 1; i > 0; --i)
        numbers.swapItemsAt(i, random.bounded(i + 1));

    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("numbers.txt"));
    {
        QFile f(input);
        if (!f.open(QIODevice::WriteOnly)) {
            out << "cannot write " << input << "\n";
            return 1;
        }
        f.write(numbers.join(u'\n').toUtf8() + '\n');
    }

    QElapsedTimer timer;
    timer.start();
    TDestinationBuilder builder(numbers.size());
    QString result;
    for (const QString& n : numbers) {
        QString number = n;
        CleanPhoneNumber(number, result);
        builder.Add(result);
    }
    const TDestinations d = builder.Finish();
    const double ours = timer.nsecsElapsed() / 1e6;

    QProcess sort;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    sort.setProcessEnvironment(env);
    timer.restart();
    sort.start(QStringLiteral("sort"), {QStringLiteral("-u"), QStringLiteral("-o"),
                                        dir.filePath(QStringLiteral("sorted.txt")), input});
    if (!sort.waitForFinished(600000) || sort.exitCode() != 0) {
        out << "sort -u failed: " << sort.errorString() << "\n";
        return 1;
    }
    const double sorted = timer.nsecsElapsed() / 1e6;

    // A pasted list of 100,000 lines (or all of them with --small) through ParseNumberList.
    const QString pasted =
        numbers.mid(0, qMin<qsizetype>(numbers.size(), 100000)).join(QStringLiteral(";\r\n"));
    timer.restart();
    const QStringList parsed = ParseNumberList(pasted);
    const double parsing = timer.nsecsElapsed() / 1e6;

    out << "numbers: " << total << ", unique: " << d.UniqueRecipients
        << ", duplicates: " << d.DuplicateRecipients << ", dropped: " << d.DroppedNumbers
        << ", destination string: " << d.DestinationString.size() << " characters\n"
        << "CleanPhoneNumber + BuildDestinations: " << ours << " ms\n"
        << "sort -u (LC_ALL=C): " << sorted << " ms\n"
        << "ratio: " << (sorted > 0 ? ours / sorted : 0) << " (target: 1 or less)\n"
        << "ParseNumberList of a pasted list of " << qMin<qsizetype>(numbers.size(), 100000)
        << " lines: " << parsing << " ms, " << parsed.size() << " pieces accepted\n";
    return d.UniqueRecipients + d.DuplicateRecipients == total && d.DroppedNumbers == 0 ? 0 : 1;
}
