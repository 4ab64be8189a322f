// 1,000,000 recipient numbers (10% duplicates, mixed spellings) in a file: brelmont-cli count
// --numbers-file cleaning and de-duplicating them into a destination string written to a file,
// against `sort -u` of the same file into a file, whole process against whole process, the two
// sides alternating. Prints every pair, min and median of each side and their ratio.
// --small runs 10,000 numbers once (smoke test); --pairs N sets the pairs.
#include "../common/BenchPairs.h"
#include "compose/Destinations.h"
#include "compose/PhoneNumber.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

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
    const QStringList args = app.arguments();
    const bool small = args.contains(QStringLiteral("--small"));
    const int total = small ? 10000 : 1000000;
    const int pairs = Bench::Option(args, "--pairs", small ? 1 : 5);
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
    // What the destination string must hold, from the same rules in this process.
    TDestinationBuilder builder(numbers.size());
    for (const QString& n : numbers)
        builder.Add(AcceptedPhoneNumber(n));
    const int expected = builder.UniqueRecipients();

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    env.insert(QStringLiteral("BRELMONT_REGISTRY"), dir.filePath(QStringLiteral("registry.reg")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    const QString destinations = dir.filePath(QStringLiteral("destinations.txt"));
    const Bench::TProcessRun cli{QStringLiteral(BRELMONT_CLI),
                                 {QStringLiteral("count"), QStringLiteral("--text"), QStringLiteral("Ciao"),
                                  QStringLiteral("--language"), QStringLiteral("ENG"),
                                  QStringLiteral("--numbers-file"), input,
                                  QStringLiteral("--destinations-out"), destinations},
                                 {},
                                 QProcess::nullDevice(),
                                 env};
    const Bench::TProcessRun sort{
        QStringLiteral("sort"),
        {QStringLiteral("-u"), QStringLiteral("-o"), dir.filePath(QStringLiteral("sorted.txt")), input},
        {},
        QProcess::nullDevice(),
        env};

    out << "numbers: " << total << " in a file of " << QFile(input).size() << " bytes; " << pairs
        << " pairs, sides alternating\n";
    const Bench::TPairs result = Bench::TimePairs(
        out, QStringLiteral("numbers"), pairs, [&] { return Bench::TimeProcess(cli); },
        [&] { return Bench::TimeProcess(sort); });

    QFile written(destinations);
    const int got = written.open(QIODevice::ReadOnly) ? int(written.readAll().count(';')) : -1;
    out << "destination string: " << got << " numbers (expected " << expected << ")\n";
    const bool met = Bench::PrintRatio(out, QStringLiteral("brelmont-cli count --numbers-file"),
                                       QStringLiteral("sort -u"), result, 1.0);
    out << (met ? "target met\n" : "target NOT met\n");
    return got == expected ? 0 : 1;
}
