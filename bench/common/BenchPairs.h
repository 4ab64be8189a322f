#pragma once

// What every benchmark shares: the two sides timed alternately in pairs, min and median of each
// side, their ratios against the target, and whole processes timed from start to exit.
#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <vector>

namespace Bench {

struct TSide
{
    std::vector<double> ms;
    double Min() const { return ms.empty() ? 0 : *std::min_element(ms.begin(), ms.end()); }
    double Median() const
    {
        if (ms.empty())
            return 0;
        std::vector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        const size_t n = sorted.size();
        return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    }
};

struct TPairs
{
    TSide ours;
    TSide base;
};

inline double MsSince(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

inline double Timed(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return MsSince(timer);
}

// Runs the two sides pairs times, ours first in even pairs and the baseline first in odd ones,
// printing every pair. prepare runs untimed before each side (fresh files and the like).
inline TPairs TimePairs(QTextStream& out, const QString& what, int pairs, const std::function<double()>& ours,
                        const std::function<double()>& base, const std::function<void()>& prepare = {})
{
    TPairs result;
    const auto run = [&](const std::function<double()>& side, TSide& into) {
        if (prepare)
            prepare();
        into.ms.push_back(side());
    };
    for (int p = 0; p < pairs; ++p) {
        if (p % 2 == 0) {
            run(ours, result.ours);
            run(base, result.base);
        } else {
            run(base, result.base);
            run(ours, result.ours);
        }
        out << "  " << what << " pair " << p + 1 << ": ours "
            << QString::number(result.ours.ms.back(), 'f', 1) << " ms, baseline "
            << QString::number(result.base.ms.back(), 'f', 1) << " ms\n";
        out.flush();
    }
    return result;
}

// "NAME: ours min A median B ms; BASE min C median D ms; ratio of medians E, of minimums F
// (target <= T: met)". The verdict goes by the medians. Answers whether it was met.
inline bool PrintRatio(QTextStream& out, const QString& what, const QString& baseName, const TPairs& r,
                       double target)
{
    const auto ms = [](double v) { return QString::number(v, 'f', 1); };
    const double byMedian = r.ours.Median() / std::max(r.base.Median(), 1e-9);
    const double byMin = r.ours.Min() / std::max(r.base.Min(), 1e-9);
    const bool met = byMedian <= target;
    out << what << ": ours min " << ms(r.ours.Min()) << " median " << ms(r.ours.Median()) << " ms; "
        << baseName << " min " << ms(r.base.Min()) << " median " << ms(r.base.Median())
        << " ms; ratio of medians " << QString::number(byMedian, 'f', 2) << ", of minimums "
        << QString::number(byMin, 'f', 2) << " (target <= " << target << ": " << (met ? "met" : "NOT met")
        << ")\n";
    out.flush();
    return met;
}

// A whole process from its start to its exit, in milliseconds; stdin from a file and stdout to a
// file when given (QProcess::nullDevice() discards). Aborts the benchmark when it fails.
struct TProcessRun
{
    QString program;
    QStringList arguments;
    QString stdinFile;
    QString stdoutFile = QProcess::nullDevice();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    int timeoutMs = -1; // a process still running then fails the benchmark
};

inline double TimeProcess(const TProcessRun& run)
{
    QProcess p;
    p.setProcessEnvironment(run.environment);
    if (!run.stdinFile.isEmpty())
        p.setStandardInputFile(run.stdinFile);
    p.setStandardOutputFile(run.stdoutFile);
    QElapsedTimer timer;
    timer.start();
    p.start(run.program, run.arguments);
    if (!p.waitForFinished(run.timeoutMs) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        qFatal("%s failed (exit %d): %s", qPrintable(run.program), p.exitCode(),
               p.readAllStandardError().constData());
    return MsSince(timer);
}

inline int Option(const QStringList& args, const char* name, int fallback)
{
    const qsizetype at = args.indexOf(QString::fromLatin1(name));
    return at >= 0 ? std::max(1, args.value(at + 1).toInt()) : fallback;
}

} // namespace Bench
