#include "lists/TextListReader.h"

#include "lists/TextDecoding.h"

namespace {
bool IsBlank(QStringView text)
{
    return text.trimmed().isEmpty();
}
} // namespace

TContactData ParseListLine(QStringView line)
{
    // Only the first three fields are kept; the count decides whether the line takes part.
    QString fields[3];
    int count = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= line.size(); ++i) {
        const bool end = i == line.size();
        if (!end && line[i] != u';')
            continue;
        const QStringView field = line.sliced(start, i - start);
        if (end && IsBlank(field))
            break;
        if (count < 3)
            fields[count] = field.toString();
        ++count;
        start = i + 1;
    }
    return RecordOfLayout(count, fields, true);
}

TListFileRecords ReadTextListBytes(const QByteArray& bytes)
{
    TListFileRecords read;
    TDecodedText decoded = DecodeText(bytes);
    if (decoded.Error) {
        read.Error = decoded.Error;
        return read;
    }
    const bool dropEmpty = decoded.Used == TDecodedText::Utf16LE || decoded.Used == TDecodedText::Utf16BE;
    // One record a line: the list grows once, not by doubling through a million records.
    read.Records.reserve(decoded.Text.count(u'\n') + 1);
    qint32 nextId = 1;
    ForEachLine(decoded.Text, [&](QStringView line) {
        if (dropEmpty && line.isEmpty())
            return;
        TContactData record = ParseListLine(line);
        if (record.ID != kNoPartID)
            record.ID = nextId++;
        read.Records.append(std::move(record));
    });
    return read;
}

TListFileRecords ReadTextListFile(const QString& path)
{
    return ParseWholeFile<TListFileRecords>(path, ReadTextListBytes);
}
