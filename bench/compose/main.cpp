// Times the recount of long message texts against a plain loop that only sums the code
// units of the same text, and prints the ratio. --small runs a tiny pass (smoke test).
#include "compose/GsmText.h"
#include "compose/MessageCounter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <cstdio>

namespace {

volatile qint64 g_sink = 0;

qint64 Baseline(QStringView text)
{
    qint64 sum = 0;
    for (const QChar c : text)
        sum += c.unicode();
    return sum;
}

template <typename F> double BestMs(int rounds, int iterations, F&& f)
{
    double best = 1e300;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < iterations; ++i)
            f();
        best = qMin(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const bool small = app.arguments().contains(QStringLiteral("--small"));
    const int units = small ? 4096 : 1 << 20;
    const int iterations = small ? 2 : 50;
    const int rounds = small ? 1 : 5;

    // GSM text with extension characters and CR LF breaks; the same text ending in one Unicode
    // character, so the classification has to look at every unit before it knows.
    const QString block = QStringLiteral("Ciao {Mario}, domani alle 10 [sala \u00C7] costa 5\u20AC.\r\n");
    QString gsm = block.repeated(units / block.size() + 1).left(units);
    QString unicode = gsm;
    unicode[unicode.size() - 1] = QChar(0x00E1);

    QTextStream out(stdout);
    out << "text units: " << units << ", iterations: " << iterations << ", best of " << rounds << "\n";
    bool ok = true;
    TMessageCounter counter;
    for (const auto& [name, text] : {std::pair{"GSM", &gsm}, std::pair{"Unicode at the end", &unicode}}) {
        const QStringView view(*text);
        const double base = BestMs(rounds, iterations, [&] { g_sink = g_sink + Baseline(view); });
        const double count =
            BestMs(rounds, iterations, [&] { g_sink = g_sink + CountMessageText(view).Count; });
        const double recount = BestMs(rounds, iterations,
                                      [&] { g_sink = g_sink + counter.Recount(view, 10, 2, true).TotalSms; });
        out << name << ": sum of code units " << base << " ms, CountMessageText " << count << " ms (ratio "
            << (base > 0 ? count / base : 0) << "), full recount " << recount << " ms (ratio "
            << (base > 0 ? recount / base : 0) << ")\n";
        ok = ok && CountMessageText(view).Count > 0;
    }
    return ok ? 0 : 1;
}
