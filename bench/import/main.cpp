// brelmont-cli list import of a generated 1,000,000-line list file (1-, 2- and 3-field lines,
// 10% repeated numbers, 1% wrong ones) against the sqlite3 shell's .import of the same file into
// a table, the two sides alternating, fresh files before each run; prints every pair, the min
// and median of each side and their ratios. Then times the import of a 100,000-row .xlsx.
// --small runs a tiny file once (smoke test); --pairs N, --lines N and --xlsx-rows N set sizes.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <functional>
#include <vector>
#include <zip.h>

namespace {

struct TSizes
{
    int lines = 1000000;
    int xlsxRows = 100000;
    int pairs = 5;
};

int Option(const QStringList& args, const char* name, int fallback)
{
    const qsizetype at = args.indexOf(QString::fromLatin1(name));
    return at >= 0 ? std::max(1, args.value(at + 1).toInt()) : fallback;
}

QByteArray Number(QRandomGenerator& random)
{
    return "+39 3" + QByteArray::number(random.bounded(10, 99)) + ' ' +
           QByteArray::number(random.bounded(1000000, 9999999));
}

// The list file; answers how many numbers it holds once each.
void WriteCsv(const QString& path, int lines)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QRandomGenerator random(20240601);
    std::vector<QByteArray> numbers;
    numbers.reserve(size_t(lines));
    QByteArray out;
    for (int i = 0; i < lines; ++i) {
        const int pick = random.bounded(100);
        QByteArray number;
        if (pick < 10 && !numbers.empty())
            number = numbers[size_t(random.bounded(int(numbers.size())))];
        else if (pick == 10)
            number = "n/d";
        else
            numbers.push_back(number = Number(random));
        const QByteArray id = QByteArray::number(i);
        switch (i % 3) {
        case 0:
            out += number;
            break;
        case 1:
            out += "Nome " + id + ';' + number;
            break;
        default:
            out += "Cognome" + id + ";Nome" + id + ';' + number;
        }
        out += '\n';
        if (out.size() > (1 << 20)) {
            file.write(out);
            out.clear();
        }
    }
    file.write(out);
}

// A workbook of one sheet: names as inline strings, numbers as numeric cells.
void WriteXlsx(const QString& path, int rows)
{
    QByteArray sheet =
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
    QRandomGenerator random(7);
    for (int r = 1; r <= rows; ++r) {
        const QByteArray row = QByteArray::number(r);
        sheet += "<row r=\"" + row + "\"><c r=\"A" + row + "\" t=\"inlineStr\"><is><t>Nome " + row +
                 "</t></is></c><c r=\"B" + row + "\"><v>393" +
                 QByteArray::number(random.bounded(100000000, 999999999)) + "</v></c></row>";
    }
    sheet += "</sheetData></worksheet>";
    const QByteArray rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    const QByteArray pkg = "http://schemas.openxmlformats.org/package/2006/relationships";
    const std::vector<std::pair<const char*, QByteArray>> parts = {
        {"_rels/.rels", "<Relationships xmlns=\"" + pkg + "\"><Relationship Id=\"rId1\" Type=\"" + rel +
                            "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
        {"xl/_rels/workbook.xml.rels", "<Relationships xmlns=\"" + pkg +
                                           "\"><Relationship Id=\"rId1\" Type=\"" + rel +
                                           "/worksheet\" Target=\"worksheets/sheet1.xml\"/></Relationships>"},
        {"xl/workbook.xml", "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
                            "xmlns:r=\"" +
                                rel +
                                "\"><sheets><sheet name=\"Foglio1\" sheetId=\"1\" r:id=\"rId1\"/>"
                                "</sheets></workbook>"},
        {"xl/worksheets/sheet1.xml", sheet},
    };
    QFile::remove(path);
    int error = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip)
        qFatal("cannot create %s", qPrintable(path));
    for (const auto& [name, data] : parts) {
        zip_source_t* source = zip_source_buffer(zip, data.constData(), zip_uint64_t(data.size()), 0);
        if (!source || zip_file_add(zip, name, source, ZIP_FL_OVERWRITE) < 0)
            qFatal("cannot add %s", name);
    }
    if (zip_close(zip) != 0)
        qFatal("cannot write %s", qPrintable(path));
}

qint64 Run(const QString& program, const QStringList& args, const QProcessEnvironment& env,
           const QByteArray& input = {}, QByteArray* output = nullptr)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.setStandardOutputFile(output ? QString() : QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    p.start(program, args);
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(-1) || p.exitCode() != 0)
        qFatal("%s failed: %s", qPrintable(program), p.readAllStandardError().constData());
    const qint64 ms = timer.elapsed();
    if (output)
        *output = p.readAllStandardOutput();
    return ms;
}

qint64 Median(std::vector<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    TSizes size;
    if (args.contains(QStringLiteral("--small")))
        size = {10000, 2000, 1};
    size.lines = Option(args, "--lines", size.lines);
    size.xlsxRows = Option(args, "--xlsx-rows", size.xlsxRows);
    size.pairs = Option(args, "--pairs", size.pairs);
    const QString cli = QStringLiteral(BRELMONT_CLI);
    const QString shell = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));

    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("list.csv"));
    const QString xlsx = dir.filePath(QStringLiteral("list.xlsx"));
    WriteCsv(csv, size.lines);
    WriteXlsx(xlsx, size.xlsxRows);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("BRELMONT_REGISTRY"), dir.filePath(QStringLiteral("registry.reg")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C"));
    const QString phoneBook = dir.filePath(QStringLiteral("data/Brelmont/pbook.qpb"));
    const QString shellFile = dir.filePath(QStringLiteral("shell.db"));

    QByteArray summary;
    const auto ours = [&](const QString& file) {
        QFile::remove(phoneBook);
        return Run(cli,
                   {QStringLiteral("list"), QStringLiteral("import"), QStringLiteral("Bench"), file,
                    QStringLiteral("--prefix"), QStringLiteral("+39")},
                   env, {}, &summary);
    };
    const auto theirs = [&] {
        QFile::remove(shellFile);
        return Run(shell, {QStringLiteral("-batch"), shellFile}, env,
                   "CREATE TABLE t(line TEXT);\n.separator \"\\t\" \"\\n\"\n.import " +
                       QFile::encodeName(csv) + " t\n");
    };

    out << "list file: " << size.lines << " lines; " << size.pairs << " pairs, sides alternating\n";
    std::vector<qint64> ourTimes, shellTimes;
    for (int p = 0; p < size.pairs; ++p) {
        qint64 a = 0, b = 0;
        if (shell.isEmpty()) {
            a = ours(csv);
        } else if (p % 2 == 0) {
            a = ours(csv);
            b = theirs();
        } else {
            b = theirs();
            a = ours(csv);
        }
        ourTimes.push_back(a);
        shellTimes.push_back(b);
        out << "pair " << p + 1 << ": brelmont-cli list import " << a << " ms, sqlite3 .import " << b
            << " ms\n";
        out.flush();
    }
    out << "brelmont-cli said: " << QString::fromUtf8(summary).replace(u'\n', QStringLiteral(" ")) << '\n';
    if (!summary.startsWith("Total imported numbers:")) {
        out << "the import failed\n";
        return 1;
    }
    const qint64 ourMin = *std::min_element(ourTimes.begin(), ourTimes.end());
    const qint64 ourMedian = Median(ourTimes);
    out << "brelmont-cli list import: min " << ourMin << " ms, median " << ourMedian << " ms\n";
    if (!shell.isEmpty()) {
        const qint64 shellMin = *std::min_element(shellTimes.begin(), shellTimes.end());
        const qint64 shellMedian = Median(shellTimes);
        const auto ratio = [](qint64 a, qint64 b) {
            return QString::number(double(a) / double(std::max<qint64>(b, 1)), 'f', 2);
        };
        out << "sqlite3 .import: min " << shellMin << " ms, median " << shellMedian << " ms\n"
            << "ratio of medians " << ratio(ourMedian, shellMedian) << ", of minimums "
            << ratio(ourMin, shellMin) << " (target <= 1.5)\n";
    } else {
        out << "sqlite3 shell not found: no ratio\n";
    }

    std::vector<qint64> xlsxTimes;
    for (int p = 0; p < size.pairs; ++p)
        xlsxTimes.push_back(ours(xlsx));
    out << ".xlsx of " << size.xlsxRows << " rows: min "
        << *std::min_element(xlsxTimes.begin(), xlsxTimes.end()) << " ms, median " << Median(xlsxTimes)
        << " ms (" << QString::fromUtf8(summary).replace(u'\n', u' ') << ")\n";
    return 0;
}
