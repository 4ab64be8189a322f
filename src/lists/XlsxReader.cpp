#include "lists/SheetRecords.h"
#include "lists/SpreadsheetReaders.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QIODevice>
#include <QXmlStreamReader>
#include <memory>
#include <stdexcept>
#include <zip.h>

namespace {

// No part of a workbook may unpack to more than this (a ZIP bomb stops here).
constexpr qint64 kMaxPartSize = qint64(256) << 20;
// Excel's own limit on the text of a cell.
constexpr qsizetype kMaxCellText = 32767;
constexpr qsizetype kMaxSharedStrings = 16 * 1024 * 1024;

struct TZipCloser
{
    void operator()(zip_t* zip) const { zip_discard(zip); }
};
using TZip = std::unique_ptr<zip_t, TZipCloser>;

// One part of the archive as a sequential device, so the XML reader pulls it in pieces.
class TZipPartDevice : public QIODevice
{
public:
    TZipPartDevice(zip_t* zip, const QString& name)
    {
        m_file = zip_fopen(zip, name.toUtf8().constData(), 0);
        if (m_file)
            open(QIODevice::ReadOnly);
    }
    ~TZipPartDevice() override
    {
        if (m_file)
            zip_fclose(m_file);
    }
    bool isSequential() const override { return true; }
    bool Found() const { return m_file != nullptr; }
    bool Failed() const { return m_failed; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (m_total >= kMaxPartSize) {
            m_failed = true;
            return -1;
        }
        const zip_int64_t got = zip_fread(m_file, data, zip_uint64_t(qMin(maxSize, kMaxPartSize - m_total)));
        if (got < 0) {
            m_failed = true;
            return -1;
        }
        m_total += got;
        return got;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    zip_file_t* m_file = nullptr;
    qint64 m_total = 0;
    bool m_failed = false;
};

class EXlsxPart : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A reader over one part that refuses document type declarations: no workbook needs one, and
// their entities are the stuff of XML bombs.
class TPartReader
{
public:
    TPartReader(zip_t* zip, const QString& name) : m_device(zip, name), m_name(name)
    {
        if (m_device.Found())
            m_xml.setDevice(&m_device);
    }
    bool Found() const { return m_device.Found(); }
    QXmlStreamReader& Xml() { return m_xml; }
    // Next token; throws on malformed XML, a DTD or an unreadable part.
    QXmlStreamReader::TokenType Next()
    {
        const QXmlStreamReader::TokenType token = m_xml.readNext();
        if (token == QXmlStreamReader::DTD)
            Fail(QStringLiteral("it declares a document type"));
        if (token == QXmlStreamReader::Invalid || m_device.Failed())
            Fail(m_device.Failed() ? QStringLiteral("it cannot be unpacked or is larger than 256 MB")
                                   : m_xml.errorString());
        return token;
    }
    bool AtEnd() const { return m_xml.atEnd(); }
    QString Text()
    {
        // Concatenates the text of the current element, its children's included.
        QString text;
        int depth = 1;
        while (depth > 0) {
            const auto token = Next();
            if (token == QXmlStreamReader::StartElement)
                ++depth;
            else if (token == QXmlStreamReader::EndElement)
                --depth;
            else if (token == QXmlStreamReader::Characters)
                text += m_xml.text();
            if (text.size() > kMaxCellText)
                Fail(QStringLiteral("a cell holds more text than a workbook can"));
        }
        return text;
    }
    [[noreturn]] void Fail(const QString& why) const
    {
        throw EXlsxPart(QStringLiteral("%1: %2").arg(m_name, why).toStdString());
    }

private:
    TZipPartDevice m_device;
    QXmlStreamReader m_xml;
    QString m_name;
};

QString ResolveTarget(const QString& baseFolder, const QString& target)
{
    if (target.startsWith(u'/'))
        return QDir::cleanPath(target.mid(1));
    return QDir::cleanPath(baseFolder.isEmpty() ? target : baseFolder + u'/' + target);
}

// Relationship ID -> (type, resolved target) of a .rels part; empty when the part is missing.
QHash<QString, std::pair<QString, QString>> ReadRelationships(zip_t* zip, const QString& relsPart,
                                                              const QString& baseFolder)
{
    QHash<QString, std::pair<QString, QString>> relations;
    TPartReader reader(zip, relsPart);
    if (!reader.Found())
        return relations;
    while (!reader.AtEnd()) {
        if (reader.Next() == QXmlStreamReader::StartElement && reader.Xml().name() == u"Relationship") {
            const QXmlStreamAttributes a = reader.Xml().attributes();
            if (a.value(QLatin1StringView("TargetMode")) == u"External")
                continue;
            relations.insert(a.value(QLatin1StringView("Id")).toString(),
                             {a.value(QLatin1StringView("Type")).toString(),
                              ResolveTarget(baseFolder, a.value(QLatin1StringView("Target")).toString())});
        }
    }
    return relations;
}

QString FolderOf(const QString& part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash);
}

QString RelsPartOf(const QString& part)
{
    const QString folder = FolderOf(part);
    const QString file = part.mid(folder.isEmpty() ? 0 : folder.size() + 1);
    return (folder.isEmpty() ? QString() : folder + u'/') + QStringLiteral("_rels/") + file +
           QStringLiteral(".rels");
}

bool TypeIs(const QString& type, QStringView kind)
{
    return type.endsWith(u'/' + kind.toString());
}

QStringList ReadSharedStrings(zip_t* zip, const QString& part)
{
    QStringList strings;
    TPartReader reader(zip, part);
    if (!reader.Found())
        return strings;
    while (!reader.AtEnd()) {
        if (reader.Next() != QXmlStreamReader::StartElement || reader.Xml().name() != u"si")
            continue;
        if (strings.size() >= kMaxSharedStrings)
            reader.Fail(QStringLiteral("it holds more strings than a workbook can"));
        // The string item: its text runs, without the phonetic guides (rPh).
        QString text;
        int depth = 1;
        int phonetic = 0;
        while (depth > 0) {
            const auto token = reader.Next();
            if (token == QXmlStreamReader::StartElement) {
                ++depth;
                if (reader.Xml().name() == u"rPh")
                    ++phonetic;
                else if (reader.Xml().name() == u"t" && phonetic == 0) {
                    text += reader.Text();
                    --depth;
                }
            } else if (token == QXmlStreamReader::EndElement) {
                --depth;
                if (reader.Xml().name() == u"rPh")
                    --phonetic;
            }
        }
        strings.append(text);
    }
    return strings;
}

// "BC12" -> column 54 (0-based), row 11 (0-based); false for a malformed reference.
bool ParseCellReference(QStringView ref, int& row, int& column)
{
    qsizetype i = 0;
    qint64 col = 0;
    for (; i < ref.size() && ref[i].isLetter(); ++i) {
        const char16_t c = ref[i].toUpper().unicode();
        if (c < u'A' || c > u'Z' || col > TSheetCells::MaxColumns)
            return false;
        col = col * 26 + (c - u'A' + 1);
    }
    bool ok = false;
    const qint64 r = ref.sliced(i).toLongLong(&ok);
    if (i == 0 || !ok || r < 1)
        return false;
    row = int(qMin<qint64>(r, TSheetCells::MaxRows + 1)) - 1;
    column = int(col) - 1;
    return true;
}

class TSheetReader
{
public:
    TSheetReader(zip_t* zip, const QString& part, const QStringList& shared)
        : m_reader(zip, part), m_shared(shared)
    {
    }
    // Reads the cells into cells; answers why the reading stopped early (empty when it did not).
    QString Read(TSheetCells& cells)
    {
        if (!m_reader.Found())
            return QStringLiteral("was skipped: its part is missing from the file");
        try {
            while (!m_reader.AtEnd()) {
                if (m_reader.Next() != QXmlStreamReader::StartElement)
                    continue;
                const QStringView name = m_reader.Xml().name();
                if (name == u"row")
                    StartRow();
                else if (name == u"c")
                    ReadCell(cells);
            }
        } catch (const EXlsxPart& e) {
            cells.DropFromRow(m_row);
            const QString why = QString::fromStdString(e.what());
            return m_row < 0 ? QStringLiteral("was skipped: %1").arg(why)
                             : QStringLiteral("row %1: %2; the rows from there on were skipped")
                                   .arg(m_row + 1)
                                   .arg(why);
        }
        return {};
    }

private:
    void StartRow()
    {
        const QStringView r = m_reader.Xml().attributes().value(QLatin1StringView("r"));
        bool ok = false;
        const int number = r.toInt(&ok);
        m_row = ok ? number - 1 : m_row + 1;
        if (m_row < 0 || m_row >= TSheetCells::MaxRows)
            m_reader.Fail(QStringLiteral("row number out of range"));
        m_column = -1;
    }

    void ReadCell(TSheetCells& cells)
    {
        const QXmlStreamAttributes a = m_reader.Xml().attributes();
        const QString type = a.value(QLatin1StringView("t")).toString();
        const QStringView ref = a.value(QLatin1StringView("r"));
        int row = m_row;
        int column = m_column + 1;
        if (!ref.isEmpty() && !ParseCellReference(ref, row, column))
            m_reader.Fail(QStringLiteral("malformed cell reference"));
        if (row != m_row || row < 0 || column < 0 || column >= TSheetCells::MaxColumns)
            m_reader.Fail(QStringLiteral("cell reference out of place"));
        m_column = column;

        QString value;
        bool inlineText = false;
        int depth = 1;
        while (depth > 0) {
            const auto token = m_reader.Next();
            if (token == QXmlStreamReader::StartElement) {
                ++depth;
                const QStringView name = m_reader.Xml().name();
                if (name == u"v" || (name == u"t" && inlineText)) {
                    value += m_reader.Text();
                    --depth;
                } else if (name == u"is") {
                    inlineText = true;
                } else if (name == u"rPh") {
                    m_reader.Xml().skipCurrentElement();
                    --depth;
                }
            } else if (token == QXmlStreamReader::EndElement) {
                --depth;
                if (m_reader.Xml().name() == u"is")
                    inlineText = false;
            }
        }
        cells.Add(row, column, CellText(type, value));
    }

    QString CellText(const QString& type, const QString& value)
    {
        if (type == u"s") {
            bool ok = false;
            const qsizetype index = value.trimmed().toLongLong(&ok);
            if (!ok || index < 0 || index >= m_shared.size())
                m_reader.Fail(QStringLiteral("shared string %1 does not exist").arg(value));
            return m_shared[index];
        }
        if (type == u"b")
            return value.trimmed() == u"1" ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        if (type.isEmpty() || type == u"n")
            return value.isEmpty() ? value : SpreadsheetNumberText(QStringView(value).trimmed());
        return value; // inlineStr, str, e, d
    }

    TPartReader m_reader;
    const QStringList& m_shared;
    int m_row = -1;
    int m_column = -1;
};

struct TSheetEntry
{
    QString name;
    QString part;
};

QList<TSheetEntry> ReadWorkbook(zip_t* zip, QString& sharedPart)
{
    QString workbook = QStringLiteral("xl/workbook.xml");
    for (const auto& [type, target] : ReadRelationships(zip, QStringLiteral("_rels/.rels"), QString()))
        if (TypeIs(type, u"officeDocument"))
            workbook = target;
    const auto relations = ReadRelationships(zip, RelsPartOf(workbook), FolderOf(workbook));
    for (const auto& [type, target] : relations)
        if (TypeIs(type, u"sharedStrings"))
            sharedPart = target;

    QList<TSheetEntry> sheets;
    TPartReader reader(zip, workbook);
    if (!reader.Found())
        reader.Fail(QStringLiteral("the workbook part is missing"));
    while (!reader.AtEnd()) {
        if (reader.Next() != QXmlStreamReader::StartElement || reader.Xml().name() != u"sheet")
            continue;
        QString relation;
        for (const QXmlStreamAttribute& attribute : reader.Xml().attributes())
            if (attribute.name() == u"id") // r:id, whatever the prefix is called
                relation = attribute.value().toString();
        const auto found = relations.constFind(relation);
        // Chart sheets and dialog sheets hold no rows: only worksheets are read.
        if (found == relations.cend() || !TypeIs(found->first, u"worksheet"))
            continue;
        sheets.append({reader.Xml().attributes().value(QLatin1StringView("name")).toString(), found->second});
    }
    return sheets;
}

} // namespace

TListFileRecords ReadXlsxList(const QString& path)
{
    TListFileRecords read;
    if (!QFile(path).open(QIODevice::ReadOnly)) {
        read.Error = TReadError::Make(TReadError::CannotOpen, QStringLiteral("the file cannot be opened"));
        return read;
    }
    int code = 0;
    TZip zip(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code));
    if (!zip) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        read.Error = TReadError::Make(TReadError::BadSpreadsheet,
                                      QStringLiteral("not a readable Excel workbook: %1")
                                          .arg(QString::fromUtf8(zip_error_strerror(&error))));
        zip_error_fini(&error);
        return read;
    }
    QList<TSheetEntry> sheets;
    QStringList shared;
    try {
        QString sharedPart = QStringLiteral("xl/sharedStrings.xml");
        sheets = ReadWorkbook(zip.get(), sharedPart);
        shared = ReadSharedStrings(zip.get(), sharedPart);
    } catch (const EXlsxPart& e) {
        read.Error = TReadError::Make(
            TReadError::BadSpreadsheet,
            QStringLiteral("not a readable Excel workbook: %1").arg(QString::fromStdString(e.what())));
        return read;
    }
    qint32 nextId = 1;
    for (const TSheetEntry& sheet : sheets) {
        if (const QString full = TSheetCells::WorkbookFull(read.Records); !full.isEmpty()) {
            read.Warnings.append(QStringLiteral("sheet \"%1\" %2").arg(sheet.name, full));
            continue;
        }
        TSheetCells cells;
        const QString failure = TSheetReader(zip.get(), sheet.part, shared).Read(cells);
        if (!failure.isEmpty())
            read.Warnings.append(QStringLiteral("sheet \"%1\" %2").arg(sheet.name, failure));
        const QString skipped = cells.AppendRecords(TSheetLayoutRule::ColumnCount, read.Records, nextId);
        if (!skipped.isEmpty())
            read.Warnings.append(QStringLiteral("sheet \"%1\" %2").arg(sheet.name, skipped));
    }
    return read;
}
