#include "lists/XlsReply.h"

#include "lists/SheetRecords.h"

#include <QDataStream>
#include <QIODevice>

namespace {
constexpr quint32 kMagic = 0x42584C52;   // "BXLR"
constexpr quint32 kEndMark = 0x454E4421; // "END!"
constexpr quint16 kFormat = 1;
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;
// A workbook has at most 65,535 sheets, each noted once or twice.
constexpr quint32 kMaxWarnings = 1u << 17;

void WriteRecord(QDataStream& out, const TContactData& r)
{
    out << r.ID << r.Kind << r.LastName << r.FirstName << r.NickName << r.Number << r.Count << r.PhoneType
        << r.ImageIndex;
}

TContactData ReadRecord(QDataStream& in)
{
    TContactData r;
    in >> r.ID >> r.Kind >> r.LastName >> r.FirstName >> r.NickName >> r.Number >> r.Count >> r.PhoneType >>
        r.ImageIndex;
    return r;
}
} // namespace

QByteArray EncodeXlsReply(const TListFileRecords& read)
{
    QByteArray reply;
    QDataStream out(&reply, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    out << kMagic << kFormat << qint32(read.Error.What) << read.Error.Detail << quint32(read.Records.size());
    for (const TContactData& record : read.Records)
        WriteRecord(out, record);
    out << quint32(read.Warnings.size());
    for (const QString& warning : read.Warnings)
        out << warning;
    out << kEndMark;
    return reply;
}

std::optional<TListFileRecords> DecodeXlsReply(const QByteArray& reply, QString* why)
{
    const auto refuse = [why](const char* reason) -> std::optional<TListFileRecords> {
        if (why)
            *why = QString::fromLatin1(reason);
        return std::nullopt;
    };
    QDataStream in(reply);
    in.setVersion(kStreamVersion);
    quint32 magic = 0;
    quint16 format = 0;
    in >> magic >> format;
    if (in.status() != QDataStream::Ok || magic != kMagic || format != kFormat)
        return refuse("it does not start with the reader's header");

    TListFileRecords read;
    qint32 kind = 0;
    quint32 count = 0;
    in >> kind >> read.Error.Detail >> count;
    if (kind < TReadError::None || kind > TReadError::NotContacts)
        return refuse("it names an unknown error");
    read.Error.What = TReadError::Kind(kind);
    if (count > quint32(TSheetCells::MaxRecords))
        return refuse("it counts more records than a workbook gives");
    if (read.Error && count > 0)
        return refuse("it gives records along with an error");
    // The counts are not trusted to reserve memory: a reply cut short ends the loops.
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i)
        read.Records.append(ReadRecord(in));
    in >> count;
    if (count > kMaxWarnings)
        return refuse("it counts more warnings than a workbook has sheets");
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QString warning;
        in >> warning;
        read.Warnings.append(warning);
    }
    quint32 end = 0;
    in >> end;
    if (in.status() != QDataStream::Ok)
        return refuse("it is cut short");
    if (end != kEndMark || !in.atEnd())
        return refuse("its counts do not match its length");
    return read;
}
