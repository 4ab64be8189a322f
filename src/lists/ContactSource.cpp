#include "lists/ContactSource.h"

#include "compose/PhoneNumber.h"
#include "lists/TextDecoding.h"
#include "phonebook/ContactsTree.h"
#include "phonebook/PhoneBook.h"
#include "platform/Win1252.h"

#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <array>

namespace {

enum TPhoneKind
{
    Business,
    Home,
    Mobile,
    Other,
    KindCount
};

struct TContact
{
    QString name;
    std::array<QStringList, KindCount> numbers;
};

void AppendLines(const TContact& contact, QList<TContactLine>& lines)
{
    for (int kind = 0; kind < KindCount; ++kind)
        for (const QString& number : contact.numbers[size_t(kind)])
            if (!number.trimmed().isEmpty())
                lines.append({contact.name, number, kind == Mobile});
}

// ---- vCard ----

QString DecodeCharset(const QByteArray& bytes, const QByteArray& charset)
{
    const QByteArray name = charset.toUpper();
    if (name == "WINDOWS-1252" || name == "CP1252")
        return FromWin1252(bytes);
    if (!name.isEmpty()) {
        QStringDecoder decoder(name.constData());
        if (decoder.isValid())
            return decoder.decode(bytes);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? FromWin1252(bytes) : text;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QByteArray DecodeQuotedPrintable(const QByteArray& value)
{
    QByteArray out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == '=' && i + 2 < value.size() + 0 && HexValue(value[i + 1]) >= 0 &&
            HexValue(value[i + 2]) >= 0) {
            out.append(char(HexValue(value[i + 1]) * 16 + HexValue(value[i + 2])));
            i += 2;
        } else {
            out.append(value[i]);
        }
    }
    return out;
}

// Splits at sep outside double quotes.
QList<QByteArray> SplitOutsideQuotes(const QByteArray& text, char sep)
{
    QList<QByteArray> parts;
    QByteArray current;
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (c == sep && !quoted) {
            parts.append(current);
            current.clear();
            continue;
        }
        current.append(c);
    }
    parts.append(current);
    return parts;
}

struct TProperty
{
    QByteArray name;         // upper-case, without group
    QList<QByteArray> types; // upper-case
    QByteArray charset;
    QByteArray encoding; // upper-case: QUOTED-PRINTABLE, B, BASE64 or empty
    QByteArray value;    // raw
};

// "item1.TEL;TYPE=work,voice;CHARSET=UTF-8:value"; false when the line has no ':'.
bool ParseProperty(const QByteArray& line, TProperty& property)
{
    bool quoted = false;
    qsizetype colon = -1;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted) {
            colon = i;
            break;
        }
    }
    if (colon < 0)
        return false;
    QList<QByteArray> head = SplitOutsideQuotes(line.left(colon), ';');
    QByteArray name = head.takeFirst().trimmed().toUpper();
    property.name = name.mid(name.lastIndexOf('.') + 1);
    for (const QByteArray& param : head) {
        const qsizetype eq = param.indexOf('=');
        const QByteArray key = (eq < 0 ? QByteArray() : param.left(eq)).trimmed().toUpper();
        QByteArray value = (eq < 0 ? param : param.mid(eq + 1)).trimmed();
        value.replace('"', QByteArray());
        if (key.isEmpty() || key == "TYPE") {
            if (value.toUpper() == "QUOTED-PRINTABLE" || value.toUpper() == "BASE64")
                property.encoding = value.toUpper();
            else
                for (const QByteArray& type : value.split(','))
                    property.types.append(type.trimmed().toUpper());
        } else if (key == "CHARSET") {
            property.charset = value;
        } else if (key == "ENCODING") {
            property.encoding = value.toUpper();
        }
    }
    property.value = line.mid(colon + 1);
    return true;
}

QString PropertyText(const TProperty& p)
{
    QByteArray bytes = p.value;
    if (p.encoding == "QUOTED-PRINTABLE")
        bytes = DecodeQuotedPrintable(bytes);
    else if (p.encoding == "B" || p.encoding == "BASE64")
        bytes = QByteArray::fromBase64(bytes);
    return DecodeCharset(bytes, p.charset);
}

// Splits a structured value at unescaped ';' and undoes the escapes of each component.
QStringList Components(const QString& value)
{
    QStringList parts(1);
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\' && i + 1 < value.size()) {
            const QChar next = value[++i];
            parts.last().append(next == u'n' || next == u'N' ? QChar(u' ') : next);
        } else if (c == u';') {
            parts.append(QString());
        } else {
            parts.last().append(c);
        }
    }
    return parts;
}

TPhoneKind KindOf(const QList<QByteArray>& types)
{
    if (types.contains("CELL") || types.contains("MOBILE"))
        return Mobile;
    if (types.contains("WORK"))
        return Business;
    if (types.contains("HOME"))
        return Home;
    return Other;
}

QString TelNumber(const QString& value)
{
    QString number = value.trimmed();
    if (number.startsWith(QStringLiteral("tel:"), Qt::CaseInsensitive)) {
        number = number.mid(4);
        const qsizetype parameters = number.indexOf(u';');
        if (parameters >= 0)
            number.truncate(parameters);
    }
    return number;
}

QString NameOfN(const QString& value)
{
    const QStringList n = Components(value); // family;given;additional;prefixes;suffixes
    QStringList parts;
    for (int i : {1, 2, 0, 4})
        if (!n.value(i).trimmed().isEmpty())
            parts.append(n.value(i).trimmed());
    return parts.join(u' ');
}

// Physical lines joined into logical ones: a line starting with a blank or a tab continues the
// previous one; a quoted-printable value ending with '=' continues on the next line.
QList<QByteArray> LogicalLines(const QByteArray& bytes)
{
    QList<QByteArray> lines;
    bool softBreak = false;
    qsizetype start = 0;
    const auto take = [&](qsizetype end) {
        QByteArray line = bytes.mid(start, end - start);
        if (!lines.isEmpty() && (softBreak || line.startsWith(' ') || line.startsWith('\t'))) {
            lines.last() += softBreak ? line : line.mid(1);
        } else if (!line.isEmpty()) {
            lines.append(line);
        }
        const QByteArray& last = lines.isEmpty() ? line : lines.last();
        const qsizetype colon = last.indexOf(':');
        softBreak =
            last.endsWith('=') && colon > 0 && last.left(colon).toUpper().contains("QUOTED-PRINTABLE");
        if (softBreak)
            lines.last().chop(1);
    };
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        take(i);
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        take(bytes.size());
    return lines;
}

TContactSource ReadVCards(const QByteArray& bytes)
{
    TContactSource source;
    TContact contact;
    QString formatted;
    QString structured;
    int depth = 0;
    bool anyCard = false;
    const auto finish = [&] {
        contact.name = formatted.trimmed().isEmpty() ? structured : formatted.trimmed();
        AppendLines(contact, source.Lines);
        contact = TContact();
        formatted.clear();
        structured.clear();
    };
    for (const QByteArray& line : LogicalLines(bytes)) {
        TProperty p;
        if (!ParseProperty(line, p))
            continue;
        const QByteArray value = p.value.trimmed().toUpper();
        if (p.name == "BEGIN" && value == "VCARD") {
            anyCard = true;
            ++depth; // a card inside a card (AGENT) adds nothing of its own
            continue;
        }
        if (p.name == "END" && value == "VCARD") {
            if (depth == 1)
                finish();
            depth = qMax(0, depth - 1);
            continue;
        }
        if (depth != 1)
            continue;
        if (p.name == "FN")
            formatted = Components(PropertyText(p)).join(u';');
        else if (p.name == "N")
            structured = NameOfN(PropertyText(p));
        else if (p.name == "TEL" && !p.types.contains("FAX"))
            contact.numbers[KindOf(p.types)].append(TelNumber(PropertyText(p)));
    }
    if (depth > 0) {
        source.Warnings.append(
            QStringLiteral("the last card has no END:VCARD; its numbers were read all the same"));
        finish();
    }
    if (!anyCard)
        source.Error = TReadError::Make(TReadError::NotContacts, QStringLiteral("no BEGIN:VCARD found"));
    return source;
}

// ---- Outlook CSV ----

QList<QStringList> ParseCsv(QStringView text, QChar separator)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    bool any = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field.append(u'"');
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field.append(c);
            }
            continue;
        }
        if (c == u'"') {
            quoted = true;
            any = true;
        } else if (c == separator) {
            record.append(field);
            field.clear();
            any = true;
        } else if (c == u'\r' || c == u'\n') {
            if (any || !field.isEmpty()) {
                record.append(field);
                records.append(record);
            }
            record.clear();
            field.clear();
            any = false;
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else {
            field.append(c);
        }
    }
    if (any || !field.isEmpty()) {
        record.append(field);
        records.append(record);
    }
    return records;
}

int ColumnOf(const QStringList& header, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        for (int i = 0; i < header.size(); ++i)
            if (header[i].trimmed().compare(QLatin1StringView(name), Qt::CaseInsensitive) == 0)
                return i;
    return -1;
}

TContactSource ReadOutlookCsv(const QByteArray& bytes)
{
    TContactSource source;
    TDecodedText decoded = DecodeText(bytes);
    if (decoded.Error) {
        source.Error = decoded.Error;
        return source;
    }
    const QStringView text = decoded.Text;
    const QStringView firstLine = text.left(text.indexOf(u'\n') < 0 ? text.size() : text.indexOf(u'\n'));
    const auto phoneColumns = [](const QStringList& header) {
        return std::array<int, KindCount>{
            ColumnOf(header, {"Business Phone"}), ColumnOf(header, {"Home Phone"}),
            ColumnOf(header, {"Mobile Phone"}), ColumnOf(header, {"Other Phone"})};
    };
    for (QChar separator : {u',', u';', u'\t'}) {
        const QList<QStringList> head = ParseCsv(firstLine, separator);
        if (head.isEmpty())
            continue;
        const auto phones = phoneColumns(head.front());
        if (std::all_of(phones.begin(), phones.end(), [](int c) { return c < 0; }))
            continue;
        const QList<QStringList> records = ParseCsv(text, separator);
        const QStringList& header = records.front();
        const int first = ColumnOf(header, {"First Name"});
        const int middle = ColumnOf(header, {"Middle Name"});
        const int last = ColumnOf(header, {"Last Name"});
        const int suffix = ColumnOf(header, {"Suffix"});
        const int whole = ColumnOf(header, {"Name", "Full Name", "Display Name"});
        for (qsizetype r = 1; r < records.size(); ++r) {
            const QStringList& row = records[r];
            TContact contact;
            QStringList parts;
            for (int column : {first, middle, last, suffix})
                if (column >= 0 && !row.value(column).trimmed().isEmpty())
                    parts.append(row.value(column).trimmed());
            contact.name = parts.isEmpty() && whole >= 0 ? row.value(whole).trimmed() : parts.join(u' ');
            for (int kind = 0; kind < KindCount; ++kind)
                if (phones[size_t(kind)] >= 0)
                    contact.numbers[size_t(kind)].append(row.value(phones[size_t(kind)]));
            AppendLines(contact, source.Lines);
        }
        return source;
    }
    source.Error = TReadError::Make(
        TReadError::NotContacts, QStringLiteral("no BEGIN:VCARD and no \"Business Phone\", \"Home Phone\", "
                                                "\"Mobile Phone\" or \"Other Phone\" column found"));
    return source;
}

bool LooksLikeVCard(const QByteArray& bytes)
{
    qsizetype i = 0;
    while (i < bytes.size() && QChar::isSpace(uchar(bytes[i])))
        ++i;
    return bytes.mid(i, 11).toUpper() == "BEGIN:VCARD";
}

} // namespace

TContactSource ReadContactSourceBytes(const QByteArray& raw, const QString& suffix)
{
    QByteArray bytes = raw;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        // The vCard reader works on bytes: a UTF-16 file is read as its UTF-8 equivalent.
        const TDecodedText decoded = DecodeText(bytes);
        if (decoded.Error) {
            TContactSource source;
            source.Error = decoded.Error;
            return source;
        }
        bytes = decoded.Text.toUtf8();
    } else if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes.remove(0, 3);
    }
    const bool vcardName = suffix.compare(QStringLiteral("vcf"), Qt::CaseInsensitive) == 0 ||
                           suffix.compare(QStringLiteral("vcard"), Qt::CaseInsensitive) == 0;
    TContactSource source = LooksLikeVCard(bytes) || vcardName ? ReadVCards(bytes) : ReadOutlookCsv(bytes);
    std::stable_sort(source.Lines.begin(), source.Lines.end(),
                     [](const TContactLine& a, const TContactLine& b) {
                         return QString::compare(a.Name, b.Name, Qt::CaseInsensitive) < 0;
                     });
    return source;
}

TContactSource ReadContactSource(const QString& path)
{
    return ParseWholeFile<TContactSource>(path, [&path](const QByteArray& bytes) {
        return ReadContactSourceBytes(bytes, QFileInfo(path).suffix());
    });
}

bool CleanContactNumbers(QList<TContactLine>& lines)
{
    bool lacking = false;
    QString result;
    for (TContactLine& line : lines) {
        CleanPhoneNumber(line.Number, result);
        lacking = lacking || (!line.Number.isEmpty() && !line.Number.startsWith(u'+'));
    }
    return lacking;
}

void ApplyContactPrefix(QList<TContactLine>& lines, const QString& prefix)
{
    QString result;
    for (TContactLine& line : lines) {
        CleanPhoneNumber(line.Number, result);
        // The test is on the cleaned text, not on its acceptance: a lone digit gets the prefix too.
        if (line.Number.isEmpty() || line.Number.startsWith(u'+'))
            continue;
        qsizetype zeros = 0;
        while (zeros < line.Number.size() && line.Number[zeros] == u'0')
            ++zeros;
        line.Number = prefix + line.Number.mid(zeros);
    }
}

int AddContactLines(TPhoneBook& book, TContactsTree& tree, const QList<TContactLine>& lines, QString* error)
{
    QList<TContactNode*> added;
    tree.BeginUpdate();
    for (const TContactLine& line : lines) {
        if (line.Number.isEmpty())
            continue;
        TContactData contact;
        contact.Kind = TContactData::KindContact;
        contact.NickName = line.Name;
        contact.Number = line.Number;
        contact.PhoneType = TContactData::Mobile;
        contact.ImageIndex = TContactData::ContactImage;
        added.append(tree.AddNode(nullptr, contact));
    }
    tree.Sort();
    const bool written = book.RebuildPhoneBook(tree);
    if (!written) {
        for (TContactNode* node : added)
            tree.RemoveNode(node);
        if (error)
            *error = book.LastError();
    }
    tree.EndUpdate();
    return written ? int(added.size()) : -1;
}
