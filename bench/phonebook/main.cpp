// The phone book at full size: 100,000 contacts and 1,000 lists of 100 members.
// Times LoadPhoneBook against the sqlite3 shell reading the same tables (SELECT * in the same
// order), and RebuildPhoneBook against the shell running an equivalent one-transaction insert
// script, all in the same run; prints each pair with its ratio, and the peak memory with the
// phone book loaded. --small runs a tiny phone book (smoke test); --repeats N sets the runs.
#include "phonebook/ContactsTree.h"
#include "phonebook/PhoneBook.h"
#include "phonebook/SQLiteDatabase.h"
#include "platform/Win1252.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/resource.h>

#include <algorithm>
#include <functional>

namespace {

struct Size
{
    int contacts;
    int lists;
    int members;
    int repeats;
};

const QByteArray kColumns =
    " ([ID] INTEGER PRIMARY KEY AUTOINCREMENT, [FIRST_NAME] VARCHAR (40), [LAST_NAME] VARCHAR (40), [NICK_NAME] "
    "VARCHAR (40), [SESSO] INTEGER, [DATA_NASCITA] TIMESTAMP, [EMAIL] VARCHAR (50), [FAX] VARCHAR (20), NUMBER "
    "VARCHAR (20), CONTACT_TYPE VARCHAR (20));\n";

QByteArray Row(const QByteArray& table, const QString& first, const QString& last, const QString& nick,
               const QByteArray& number, const char* type)
{
    return "INSERT INTO " + table + " (FIRST_NAME, LAST_NAME, NICK_NAME, NUMBER, CONTACT_TYPE) VALUES(" +
           SqlLiteral(first) + ", " + SqlLiteral(last) + ", " + SqlLiteral(nick) + ", '" + number + "', '" + type +
           "');\n";
}

QString First(int i)
{
    return QStringLiteral("Nome%1").arg(i, 6, 10, QLatin1Char('0'));
}
QString Last(int i)
{
    return i % 10 == 0 ? QStringLiteral("Citt\u00e0%1").arg(i) : QStringLiteral("Cognome%1").arg(i);
}
QString Nick(int i)
{
    return i % 3 == 0 ? QStringLiteral("Soprannome%1").arg(i) : QString();
}
QByteArray Number(int i)
{
    return "+39 3" + QByteArray::number(100000000 + i);
}
QString ListName(int l)
{
    return QStringLiteral("Lista %1").arg(l, 4, 10, QLatin1Char('0'));
}

// The insert script, written as it is generated: one transaction, the statements a rewrite
// runs. overPrevious: the script replaces a phone book of the same shape, as a rewrite does
// (backup of MainContacts, list tables dropped and created again).
void WriteInsertScript(const QString& path, const Size& size, bool overPrevious)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    if (overPrevious)
        f.write("BEGIN TRANSACTION;\nUPDATE QPB_DETAILS SET VERSION = '21';\nDROP TABLE IF EXISTS MainContactsBackup;\n"
                "ALTER TABLE \"MainContacts\" RENAME TO \"MainContactsBackup\";\n"
                "DROP INDEX IF EXISTS MainContacts_SELNAME;\n");
    else
        f.write("BEGIN TRANSACTION;\nCREATE TABLE QPB_DETAILS ([VERSION] INTEGER);\n"
                "INSERT INTO QPB_DETAILS (VERSION) VALUES ('21');\n");
    f.write("CREATE TABLE MainContacts" + kColumns +
            "CREATE INDEX MainContacts_SELNAME ON [MainContacts]([NICK_NAME], [LAST_NAME], [FIRST_NAME]);\n");
    for (int i = 0; i < size.contacts; ++i)
        f.write(Row("MainContacts", First(i), Last(i), Nick(i), Number(i), "SINGLE"));
    for (int l = 0; l < size.lists; ++l) {
        const QString name = ListName(l);
        const QByteArray table = SqlIdentifier(name);
        f.write(Row("MainContacts", {}, {}, name, QByteArray::number(size.members), "LIST"));
        if (overPrevious)
            f.write("DROP TABLE " + table + ";\n");
        f.write("CREATE TABLE " + table + kColumns + "CREATE INDEX " + SqlIdentifier(name + QStringLiteral("_SELNAME")) +
                " ON " + table + "([NICK_NAME], [LAST_NAME], [FIRST_NAME]);\n");
        for (int m = 0; m < size.members; ++m) {
            const int i = (l * 7919 + m * 104729) % std::max(size.contacts, 1);
            f.write(Row(table, First(i), Last(i), Nick(i), Number(i), "SINGLE"));
        }
    }
    f.write("COMMIT;\n");
}

// The reads of a load, in its order: MainContacts sorted, then each list's table.
void WriteReadScript(const QString& path, const Size& size)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    f.write("SELECT * FROM MainContacts order by NICK_NAME, LAST_NAME, FIRST_NAME;\n");
    for (int l = 0; l < size.lists; ++l)
        f.write("SELECT * FROM " + SqlIdentifier(ListName(l)) + ";\n");
}

qint64 RunShell(const QString& shell, const QString& database, const QString& script)
{
    QProcess p;
    p.setStandardInputFile(script);
    p.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    p.start(shell, {QStringLiteral("-batch"), database});
    if (!p.waitForFinished(600000) || p.exitCode() != 0)
        qFatal("sqlite3 failed: %s", p.readAllStandardError().constData());
    return timer.elapsed();
}

// The best of several runs, in milliseconds; prepare runs untimed before each.
qint64 Best(int repeats, const std::function<void()>& prepare, const std::function<qint64()>& run)
{
    qint64 best = -1;
    for (int r = 0; r < repeats; ++r) {
        if (prepare)
            prepare();
        const qint64 ms = run();
        best = best < 0 ? ms : std::min(best, ms);
    }
    return best;
}

qint64 Timed(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.elapsed();
}

long PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const bool small = app.arguments().contains(QStringLiteral("--small"));
    Size size = small ? Size{1000, 10, 10, 1} : Size{100000, 1000, 100, 3};
    const qsizetype repeatsAt = app.arguments().indexOf(QStringLiteral("--repeats"));
    if (repeatsAt > 0)
        size.repeats = std::max(1, app.arguments().value(repeatsAt + 1).toInt());
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));

    QTemporaryDir dir;
    const QString insertScript = dir.filePath(QStringLiteral("insert.sql"));
    const QString rewriteScript = dir.filePath(QStringLiteral("rewrite.sql"));
    const QString shellRewriteFile = dir.filePath(QStringLiteral("shell-rewrite.qpb"));
    const QString readScript = dir.filePath(QStringLiteral("read.sql"));
    const QString shellFile = dir.filePath(QStringLiteral("shell.qpb"));
    const QString ourFile = dir.filePath(QStringLiteral("ours.qpb"));
    WriteInsertScript(insertScript, size, false);
    WriteInsertScript(rewriteScript, size, true);
    WriteReadScript(readScript, size);

    out << "phone book: " << size.contacts << " contacts, " << size.lists << " lists of " << size.members
        << " members; best of " << size.repeats << " runs\n";

    // The shell writes the file both sides read.
    qint64 shellInsert = -1;
    if (!shell.isEmpty()) {
        shellInsert = Best(size.repeats, [&] { QFile::remove(shellFile); },
                           [&] { return RunShell(shell, shellFile, insertScript); });
    } else {
        out << "sqlite3 shell not found: our side only\n";
        TContactsTree tree;
        for (int i = 0; i < size.contacts; ++i) {
            TContactData d;
            d.FirstName = First(i);
            tree.AddNode(nullptr, d);
        }
        TPhoneBook(shellFile, QString()).RebuildPhoneBook(tree);
    }

    TContactsTree tree;
    TPhoneBook reader(shellFile, QString());
    bool loaded = true;
    const qint64 load = Best(size.repeats, {}, [&] { return Timed([&] { loaded = reader.LoadPhoneBook(tree) && loaded; }); });
    const long peakLoaded = PeakMegabytes();
    int members = 0;
    for (int r = 0; r < tree.TopLevelCount(); ++r)
        members += tree.TopLevel(r)->ChildCount();
    if (!loaded || tree.TopLevelCount() != size.contacts + size.lists || members != size.lists * size.members) {
        out << "load failed: " << reader.LastError() << " (" << tree.TopLevelCount() << " top-level nodes, "
            << members << " members)\n";
        return 1;
    }
    const qint64 shellRead = shell.isEmpty() ? -1 : Best(size.repeats, {}, [&] {
        return RunShell(shell, shellFile, readScript);
    });
    const qint64 shellRewrite = shell.isEmpty() ? -1 : Best(size.repeats, [&] {
        QFile::remove(shellRewriteFile);
        QFile::copy(shellFile, shellRewriteFile);
    }, [&] { return RunShell(shell, shellRewriteFile, rewriteScript); });

    TPhoneBook writer(ourFile, QString());
    bool written = true;
    const qint64 rewriteNew = Best(size.repeats, [&] { QFile::remove(ourFile); }, [&] {
        return Timed([&] { written = writer.RebuildPhoneBook(tree) && written; });
    });
    const qint64 rewriteOver = Best(size.repeats, {}, [&] {
        return Timed([&] { written = writer.RebuildPhoneBook(tree) && written; });
    });
    if (!written) {
        out << "rewrite failed: " << writer.LastError() << "\n";
        return 1;
    }

    const auto pair = [&](const char* what, qint64 ours, const char* theirs, qint64 base, double target) {
        out << what << ": " << ours << " ms; " << theirs << ": ";
        if (base < 0) {
            out << "n/a\n";
            return;
        }
        const double ratio = double(ours) / double(std::max<qint64>(base, 1));
        out << base << " ms; ratio " << QString::number(ratio, 'f', 2) << " (target <= " << target << ", "
            << (ratio <= target ? "met" : "NOT met") << ")\n";
    };
    pair("LoadPhoneBook", load, "sqlite3 SELECT * same order", shellRead, 3);
    pair("RebuildPhoneBook into a new file", rewriteNew, "sqlite3 insert script", shellInsert, 3);
    pair("RebuildPhoneBook over the previous content", rewriteOver, "sqlite3 same script over the previous content",
         shellRewrite, 3);
    out << "peak memory with the phone book loaded: " << peakLoaded << " MB (target < 150 MB, "
        << (peakLoaded < 150 ? "met" : "NOT met") << "); at the end: " << PeakMegabytes() << " MB\n";
    return 0;
}
