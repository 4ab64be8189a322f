// The phone book at full size: 100,000 contacts and 1,000 lists of 100 members, written by the
// sqlite3 shell. Each measure times our side and its baseline alternately, pairs times:
// - LoadPhoneBook into an empty tree against the shell running the same SELECTs into /dev/null;
// - RebuildPhoneBook over the previous content against the shell running the same rows as one
//   transaction over a copy of the same file (and both into a new file);
// - brelmont-cli phonebook rebuild (load + rewrite, whole process) against the shell's reads
//   followed by its script;
// - the peak memory of a process that only loads the phone book (this program, run again).
// --small runs a tiny phone book (smoke test); --pairs N sets the pairs (at least 5 by default).
// For profiling: --write FILE writes the phone book with the shell and ends; --load-child FILE
// loads FILE and prints the peak RSS in kB, the top-level nodes, the members and the
// milliseconds of the load.
#include "../common/BenchPairs.h"
#include "phonebook/ContactsTree.h"
#include "phonebook/PhoneBook.h"
#include "phonebook/SQLiteDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <memory>
namespace {

struct TSize
{
    int contacts;
    int lists;
    int members;
};

const QByteArray kColumns = " ([ID] INTEGER PRIMARY KEY AUTOINCREMENT, [FIRST_NAME] VARCHAR (40), "
                            "[LAST_NAME] VARCHAR (40), [NICK_NAME] "
                            "VARCHAR (40), [SESSO] INTEGER, [DATA_NASCITA] TIMESTAMP, [EMAIL] VARCHAR (50), "
                            "[FAX] VARCHAR (20), NUMBER "
                            "VARCHAR (20), CONTACT_TYPE VARCHAR (20));\n";

QByteArray Row(const QByteArray& table, const QString& first, const QString& last, const QString& nick,
               const QByteArray& number, const char* type)
{
    return "INSERT INTO " + table + " (FIRST_NAME, LAST_NAME, NICK_NAME, NUMBER, CONTACT_TYPE) VALUES(" +
           SqlLiteral(first) + ", " + SqlLiteral(last) + ", " + SqlLiteral(nick) + ", '" + number + "', '" +
           type + "');\n";
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

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// The statements of a rewrite as one transaction, in the order RebuildPhoneBook runs them.
// overPrevious: the script replaces a phone book of the same shape (MainContacts kept as the
// backup, list tables dropped and created again).
QByteArray InsertScript(const TSize& size, bool overPrevious)
{
    QByteArray s;
    if (overPrevious)
        s += "BEGIN TRANSACTION;\nUPDATE QPB_DETAILS SET VERSION = '21';\nDROP TABLE IF EXISTS "
             "MainContactsBackup;\n"
             "ALTER TABLE \"MainContacts\" RENAME TO \"MainContactsBackup\";\n"
             "DROP INDEX IF EXISTS MainContacts_SELNAME;\n";
    else
        s += "BEGIN TRANSACTION;\nCREATE TABLE QPB_DETAILS ([VERSION] INTEGER);\n"
             "INSERT INTO QPB_DETAILS (VERSION) VALUES ('21');\n";
    s += "CREATE TABLE MainContacts" + kColumns +
         "CREATE INDEX MainContacts_SELNAME ON [MainContacts]([NICK_NAME], [LAST_NAME], [FIRST_NAME]);\n";
    for (int i = 0; i < size.contacts; ++i)
        s += Row("MainContacts", First(i), Last(i), Nick(i), Number(i), "SINGLE");
    for (int l = 0; l < size.lists; ++l) {
        const QString name = ListName(l);
        const QByteArray table = SqlIdentifier(name);
        s += Row("MainContacts", {}, {}, name, QByteArray::number(size.members), "LIST");
        if (overPrevious)
            s += "DROP TABLE " + table + ";\n";
        s += "CREATE TABLE " + table + kColumns + "CREATE INDEX " +
             SqlIdentifier(name + QStringLiteral("_SELNAME")) + " ON " + table +
             "([NICK_NAME], [LAST_NAME], [FIRST_NAME]);\n";
        for (int m = 0; m < size.members; ++m) {
            const int i = (l * 7919 + m * 104729) % std::max(size.contacts, 1);
            s += Row(table, First(i), Last(i), Nick(i), Number(i), "SINGLE");
        }
    }
    return s + "COMMIT;\n";
}

// The reads of a load, in its order: MainContacts sorted, then each list's table.
QByteArray ReadScript(const TSize& size)
{
    QByteArray s = "SELECT * FROM MainContacts order by NICK_NAME, LAST_NAME, FIRST_NAME;\n";
    for (int l = 0; l < size.lists; ++l)
        s += "SELECT * FROM " + SqlIdentifier(ListName(l)) + ";\n";
    return s;
}

void Copy(const QString& from, const QString& to)
{
    QFile::remove(to);
    if (!QFile::copy(from, to))
        qFatal("cannot copy %s", qPrintable(from));
}

// VmHWM, the peak RSS of this program's own image: getrusage's maximum would also count the
// parent's pages at the fork that started it.
long PeakKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// The child that measures memory: loads the file and prints its peak RSS and the nodes loaded.
int LoadChild(const QString& file)
{
    TContactsTree tree;
    TPhoneBook book(file, QString());
    bool loaded = false;
    const double ms = Bench::Timed([&] { loaded = book.LoadPhoneBook(tree); });
    if (!loaded)
        return 1;
    int members = 0;
    for (int r = 0; r < tree.TopLevelCount(); ++r)
        members += tree.TopLevel(r)->ChildCount();
    QTextStream(stdout) << PeakKilobytes() << ' ' << tree.TopLevelCount() << ' ' << members << ' ' << ms
                        << '\n';
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == u"--load-child")
        return LoadChild(args.value(2));

    QTextStream out(stdout);
    const bool small = args.contains(QStringLiteral("--small"));
    const TSize size = small ? TSize{1000, 10, 10} : TSize{100000, 1000, 100};
    const int pairs = Bench::Option(args, "--pairs", small ? 1 : 5);
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (shell.isEmpty()) {
        out << "the sqlite3 shell is needed for the baselines\n";
        return small ? 0 : 1;
    }

    QTemporaryDir dir;
    const auto path = [&](const char* name) { return dir.filePath(QString::fromLatin1(name)); };
    WriteFile(path("insert.sql"), InsertScript(size, false));
    const qsizetype writeAt = args.indexOf(QStringLiteral("--write"));
    const QString source = writeAt > 0 ? args.value(writeAt + 1) : path("source.qpb");
    QFile::remove(source);
    Bench::TimeProcess({shell, {QStringLiteral("-batch"), source}, path("insert.sql")});
    if (writeAt > 0)
        return 0;
    WriteFile(path("rewrite.sql"), InsertScript(size, true));
    WriteFile(path("read.sql"), ReadScript(size));

    // --only load,rewrite,new,command,memory runs some of the measures.
    const qsizetype onlyAt = args.indexOf(QStringLiteral("--only"));
    const QStringList only = onlyAt > 0 ? args.value(onlyAt + 1).split(u',') : QStringList();
    const auto wanted = [&](const char* name) {
        return only.isEmpty() || only.contains(QLatin1String(name));
    };

    out << "phone book: " << size.contacts << " contacts, " << size.lists << " lists of " << size.members
        << " members; " << pairs << " pairs, sides alternating\n";
    const auto shellRun = [&](const QString& file, const char* script) {
        return Bench::TimeProcess({shell, {QStringLiteral("-batch"), file}, path(script)});
    };
    struct TResult
    {
        QString what;
        QString base;
        Bench::TPairs pairs;
        double target;
    };
    std::vector<TResult> results;

    // Load into an empty tree; the tree is freed outside the timing.
    std::unique_ptr<TContactsTree> tree;
    bool loaded = true;
    const auto loadOurs = [&] {
        tree = std::make_unique<TContactsTree>();
        TPhoneBook book(source, QString());
        return Bench::Timed([&] { loaded = book.LoadPhoneBook(*tree) && loaded; });
    };
    if (wanted("load"))
        results.push_back({QStringLiteral("LoadPhoneBook"), QStringLiteral("sqlite3 same SELECTs"),
                           Bench::TimePairs(out, QStringLiteral("load"), pairs, loadOurs,
                                            [&] { return shellRun(source, "read.sql"); }),
                           1.0});
    else
        loadOurs();
    int members = 0;
    for (int r = 0; r < tree->TopLevelCount(); ++r)
        members += tree->TopLevel(r)->ChildCount();
    if (!loaded || tree->TopLevelCount() != size.contacts + size.lists ||
        members != size.lists * size.members) {
        out << "the load failed (" << tree->TopLevelCount() << " top-level nodes, " << members
            << " members)\n";
        return 1;
    }

    // Rewrites over a copy of the same file, and into a new one.
    const QString ours = path("ours.qpb");
    const QString theirs = path("theirs.qpb");
    bool written = true;
    const auto rebuild = [&] {
        TPhoneBook book(ours, QString());
        return Bench::Timed([&] { written = book.RebuildPhoneBook(*tree) && written; });
    };
    if (wanted("rewrite"))
        results.push_back({QStringLiteral("RebuildPhoneBook over the previous content"),
                           QStringLiteral("sqlite3 one-transaction script"),
                           Bench::TimePairs(
                               out, QStringLiteral("rewrite over the previous content"), pairs, rebuild,
                               [&] { return shellRun(theirs, "rewrite.sql"); },
                               [&] {
                                   Copy(source, ours);
                                   Copy(source, theirs);
                               }),
                           0.5});
    if (wanted("new"))
        results.push_back({QStringLiteral("RebuildPhoneBook into a new file"),
                           QStringLiteral("sqlite3 one-transaction script"),
                           Bench::TimePairs(
                               out, QStringLiteral("rewrite into a new file"), pairs, rebuild,
                               [&] { return shellRun(theirs, "insert.sql"); },
                               [&] {
                                   QFile::remove(ours);
                                   QFile::remove(theirs);
                               }),
                           0.5});
    if (!written) {
        out << "the rewrite failed\n";
        return 1;
    }

    // brelmont-cli phonebook rebuild as a user runs it, against the shell's reads and script.
    if (wanted("command")) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("BRELMONT_REGISTRY"), path("registry.reg"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path("config"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), path("data"));
        QDir().mkpath(path("data/Brelmont"));
        const QString userBook = path("data/Brelmont/pbook.qpb");
        const Bench::TProcessRun cli{QStringLiteral(BRELMONT_CLI),
                                     {QStringLiteral("phonebook"), QStringLiteral("rebuild")},
                                     {},
                                     QProcess::nullDevice(),
                                     env};
        results.push_back(
            {QStringLiteral("brelmont-cli phonebook rebuild"), QStringLiteral("sqlite3 reads + script"),
             Bench::TimePairs(
                 out, QStringLiteral("phonebook rebuild"), pairs, [&] { return Bench::TimeProcess(cli); },
                 [&] { return shellRun(theirs, "read.sql") + shellRun(theirs, "rewrite.sql"); },
                 [&] {
                     Copy(source, userBook);
                     Copy(source, theirs);
                 }),
             0.6});
    }

    out << "\n";
    bool met = true;
    for (const TResult& r : results)
        met = Bench::PrintRatio(out, r.what, r.base, r.pairs, r.target) && met;
    if (wanted("memory")) {
        // A process that only loads the phone book.
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--load-child"), source});
        child.waitForFinished(-1);
        const double peakMb =
            QString::fromLatin1(child.readAllStandardOutput()).split(u' ').value(0).toDouble() / 1024;
        const bool memoryMet = child.exitCode() == 0 && peakMb < 64;
        out << "peak RSS of a process that loads the phone book: " << QString::number(peakMb, 'f', 1)
            << " MB (target < 64 MB: " << (memoryMet ? "met" : "NOT met") << ")\n";
        met = met && memoryMet;
    }
    out << (met ? "all targets met\n" : "some targets NOT met\n");
    return 0;
}
