// The contacts area at full size: a phone book of 100,000 contacts and 1,000 lists of 100
// members. Times, in the same run and alternating the two sides of each pair:
// - the time to the tree's first paint (load on the worker, index, the view laid out and
//   painted) against LoadPhoneBook alone;
// - each quick-search keystroke ("m", "ma", "mar", "mari", then back to blank: the filter, the
//   view laid out and painted) against `grep -F -c` over the same names and numbers in a file.
// Prints min and median of each side and their ratios. --small: a tiny phone book (smoke test);
// --pairs N: the pairs per measurement (at least 5).
#include "phonebook/ContactsTree.h"
#include "phonebook/PhoneBook.h"
#include "phonebook/PhoneBookServices.h"
#include "settings/SettingsHolder.h"
#include "ui/main/ContactsPane.h"
#include "ui/main/ContactsView.h"
#include "ui/main/QuickSearchStrip.h"
#include "ui/main/TopPanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>

namespace {

const char* const kFirst[] = {"Maria", "Mario", "Anna", "Luca",  "Giulia",
                              "Omar",  "Paolo", "Sara", "Elena", "Marco"};
const char* const kLast[] = {"Rossi", "Bianchi", "Verdi", "Neri", "Esposito", "Romano", "Gallo", "Conti"};

TContactData Contact(int i)
{
    TContactData d;
    d.FirstName = QString::fromLatin1(kFirst[i % 10]);
    d.LastName = QString::fromLatin1(kLast[(i / 10) % 8]) + QString::number(i);
    if (i % 3 == 0)
        d.NickName = QStringLiteral("Amico %1").arg(i);
    d.Number = QStringLiteral("+393%1").arg(100000000 + i);
    return d;
}

// Ends the event loop it is given once the view has painted.
class TPaintWatch : public QObject
{
public:
    QEventLoop* loop = nullptr;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && loop)
            loop->quit();
        return false;
    }
};

// From work to the view's next paint, the event loop waiting (not spinning) meanwhile.
qint64 UntilPainted(QWidget* viewport, TPaintWatch& watch, const std::function<void(QEventLoop&)>& work)
{
    QElapsedTimer timer;
    timer.start();
    QEventLoop loop;
    work(loop);
    watch.loop = &loop;
    viewport->update();
    loop.exec();
    watch.loop = nullptr;
    return timer.nsecsElapsed();
}

struct Series
{
    std::vector<qint64> ours, theirs;
    qint64 Min(const std::vector<qint64>& v) const { return *std::min_element(v.begin(), v.end()); }
    qint64 Median(std::vector<qint64> v) const
    {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    }
};

QString Ms(qint64 ns)
{
    return QString::number(double(ns) / 1e6, 'f', 2) + QStringLiteral(" ms");
}

void Report(QTextStream& out, const QString& what, const Series& s, const QString& base, double target)
{
    const double ratio = double(s.Median(s.ours)) / double(std::max<qint64>(1, s.Median(s.theirs)));
    out << what << ": min " << Ms(s.Min(s.ours)) << ", median " << Ms(s.Median(s.ours)) << "; " << base
        << ": min " << Ms(s.Min(s.theirs)) << ", median " << Ms(s.Median(s.theirs)) << "; ratio of medians "
        << QString::number(ratio, 'f', 2) << " (target <= " << target << ", "
        << (ratio <= target ? "met" : "NOT met") << ")\n";
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    const bool small = args.contains(QStringLiteral("--small"));
    const int contacts = small ? 1000 : 100000;
    const int lists = small ? 10 : 1000;
    const int members = small ? 10 : 100;
    const qsizetype pairsAt = args.indexOf(QStringLiteral("--pairs"));
    const int pairs = std::max(5, pairsAt > 0 ? args.value(pairsAt + 1).toInt() : 5);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("pbook.qpb"));
    const QString names = dir.filePath(QStringLiteral("names.txt"));
    {
        TContactsTree tree;
        for (int i = 0; i < contacts; ++i)
            tree.AddNode(nullptr, Contact(i));
        for (int l = 0; l < lists; ++l) {
            TContactData list;
            list.Kind = TContactData::KindList;
            list.NickName = QStringLiteral("Lista %1").arg(l, 4, 10, QLatin1Char('0'));
            list.Count = members;
            list.ImageIndex = TContactData::ListImage;
            TContactNode* node = tree.AddNode(nullptr, list);
            for (int m = 0; m < members; ++m)
                tree.AddNode(node, Contact((l * 7919 + m * 104729) % contacts));
        }
        TPhoneBook writer(file, QString());
        if (!writer.RebuildPhoneBook(tree)) {
            out << "cannot write the phone book: " << writer.LastError() << "\n";
            return 1;
        }
        // What the quick search looks through, one contact a line.
        QFile f(names);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        QTextStream lines(&f);
        for (int r = 0; r < tree.TopLevelCount(); ++r) {
            const TContactNode* node = tree.TopLevel(r);
            const auto write = [&lines](const TContactData& d) {
                lines << d.NickName << '\t' << d.LastName << '\t' << d.FirstName << '\t' << d.Number << '\n';
            };
            if (!node->IsList())
                write(node->Data());
            for (int c = 0; c < node->ChildCount(); ++c)
                write(node->Child(c)->Data());
        }
    }
    out << "phone book: " << contacts << " contacts, " << lists << " lists of " << members << " members; "
        << pairs << " pairs per measurement, sides alternating\n";

    TPhoneBook book(file, QString());
    TContactsTree tree;
    TPhoneBookServices services{book, tree};
    TSettingsHolder settings(dir.filePath(QStringLiteral("registry.reg")));
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* top = new TTopPanel(&window);
    auto* pane = new TContactsPane(services, settings, *top, &window);
    layout->addWidget(top);
    layout->addWidget(pane, 1);
    window.resize(330, 640);
    window.show();
    QApplication::processEvents();
    QWidget* viewport = pane->View()->viewport();
    TPaintWatch watch;
    viewport->installEventFilter(&watch);

    Series paint;
    for (int p = 0; p < pairs; ++p) {
        TContactsTree alone;
        QElapsedTimer timer;
        timer.start();
        if (!TPhoneBook(file, QString()).LoadPhoneBook(alone))
            return 1;
        paint.theirs.push_back(timer.nsecsElapsed());
        paint.ours.push_back(UntilPainted(viewport, watch, [&](QEventLoop& loop) {
            auto connection =
                QObject::connect(pane, &TContactsPane::phoneBookLoaded, &loop, &QEventLoop::quit);
            pane->LoadPhoneBook(false);
            loop.exec();
            QObject::disconnect(connection);
        }));
    }
    if (tree.TopLevelCount() != contacts + lists) {
        out << "the tree holds " << tree.TopLevelCount() << " top-level nodes\n";
        return 1;
    }
    Report(out, QStringLiteral("first paint of the tree"), paint, QStringLiteral("LoadPhoneBook alone"), 1.5);

    pane->ShowQuickSearch();
    QLineEdit* field = pane->QuickSearchStrip()->Edit_QSearch;
    // Each keystroke twice: until the filter is applied (the matching and the rows the view
    // shows), and until the view has been laid out and painted again.
    for (const QString& text : {QStringLiteral("m"), QStringLiteral("ma"), QStringLiteral("mar"),
                                QStringLiteral("mari"), QString()}) {
        Series filtered;
        Series painted;
        for (int p = 0; p < pairs; ++p) {
            field->setText(QStringLiteral("x")); // from a neutral state, untimed
            QApplication::processEvents();
            qint64 filter = 0;
            painted.ours.push_back(UntilPainted(viewport, watch, [&](QEventLoop&) {
                QElapsedTimer timer;
                timer.start();
                field->setText(text);
                filter = timer.nsecsElapsed();
            }));
            filtered.ours.push_back(filter);
            QProcess grep;
            QElapsedTimer timer;
            timer.start();
            grep.start(QStringLiteral("grep"), {QStringLiteral("-F"), QStringLiteral("-c"), text, names});
            grep.waitForFinished();
            filtered.theirs.push_back(timer.nsecsElapsed());
            painted.theirs.push_back(timer.nsecsElapsed());
        }
        Report(out, QStringLiteral("keystroke \"%1\", filter applied").arg(text), filtered,
               QStringLiteral("grep -F -c"), 1.0);
        Report(out, QStringLiteral("keystroke \"%1\", view painted").arg(text), painted,
               QStringLiteral("grep -F -c"), 1.0);
    }
    return 0;
}
