#include "net/ServiceEnvelope.h"

#include "platform/Win1252.h"

#include <QXmlStreamReader>

namespace {
QByteArray Element(const char* name, const QByteArray& content)
{
    return '<' + QByteArray(name) + '>' + content + "</" + QByteArray(name) + '>';
}

bool Is(QStringView name, const char* wanted)
{
    return name.compare(QLatin1StringView(wanted), Qt::CaseInsensitive) == 0;
}

// Reads the children of the element the reader stands on; known ones go to their field.
void ReadGroup(QXmlStreamReader& xml, std::initializer_list<std::pair<const char*, QString*>> fields)
{
    while (xml.readNextStartElement()) {
        QString* target = nullptr;
        for (const auto& [name, field] : fields)
            if (Is(xml.name(), name))
                target = field;
        if (target)
            *target = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        else
            xml.skipCurrentElement();
    }
}

void ReadResponseChild(QXmlStreamReader& xml, TLookupResponse& r)
{
    const QStringView name = xml.name();
    TNumberDetails& d = r.Details;
    if (Is(name, "RESULT"))
        r.Result = xml.readElementText(QXmlStreamReader::IncludeChildElements);
    else if (Is(name, "BALOON_TEXT") || Is(name, "FAULTSTRING"))
        r.BaloonText = xml.readElementText(QXmlStreamReader::IncludeChildElements);
    else if (Is(name, "OPERATOR"))
        ReadGroup(xml, {{"OPERATOR_NAME", &d.OperatorName}, {"MCC", &d.MCC}, {"MNC", &d.MNC}});
    else if (Is(name, "MSISDN_DATA"))
        ReadGroup(xml, {{"MSISDN", &d.Number}, {"PORTED", &d.Ported}});
    else if (Is(name, "PRESENCE"))
        ReadGroup(xml, {{"STATUS", &d.Status}});
    else if (Is(name, "LOCATION"))
        ReadGroup(xml, {{"LOCATION_NAME", &d.LocationName}});
    else
        xml.skipCurrentElement();
}
} // namespace

QByteArray BuildEnvelope(const TEnvelopeFields& f)
{
    // The separators are fixed, whatever the locale.
    const QByteArray at = f.At.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1();
    QByteArray e = "<MESSAGE>";
    e += Element("DATE_TIME", XMLEscape(at));
    e += Element("USER", XMLEscape(ToWin1252(f.UserName)));
    e += Element("CARRIER", "DALVENOR");
    e += Element("PASS", XMLEscape(ToWin1252(f.Password)));
    e += Element("TYPE", f.Type);
    e += Element("LANG", f.Language.left(2).toLatin1());
    e += Element("DEST", XMLEscape(ToWin1252(f.Destination)));
    // The system and user names are not ours to choose: escaped so that a "&" or "<" in them
    // cannot make the whole request unreadable.
    e += Element("OS", XMLEscape(f.Identity.OSName));
    e += Element("FVER", {});
    e += Element("MAC", f.Identity.MACAddress);
    e += Element("OSUSER", XMLEscape(f.Identity.OSUser));
    e += Element("PVER", f.Identity.ProgramVersion);
    e += Element("SENT", "XML");
    e += Element("SUM", {});
    e += "</MESSAGE>";
    return e;
}

TLookupReplyParse ParseLookupReply(const QByteArray& plain, const QString& askedNumber)
{
    TLookupReplyParse parse;
    parse.response.Details.Number = askedNumber;
    // The reply is 8-bit text; it is read as Windows-1252 whatever its declaration says.
    QXmlStreamReader xml(FromWin1252(plain));
    bool rootDone = false;
    while (!rootDone && !xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::DTD) {
            parse.state = TLookupReplyParse::Malformed;
            parse.error = QStringLiteral("the reply declares a document type");
            return parse;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        // The children of the document element carry the answer.
        while (xml.readNextStartElement())
            ReadResponseChild(xml, parse.response);
        rootDone = !xml.hasError();
    }
    if (rootDone) {
        parse.state = TLookupReplyParse::Complete;
    } else if (!xml.hasError() || xml.error() == QXmlStreamReader::PrematureEndOfDocumentError) {
        parse.state = TLookupReplyParse::Incomplete;
    } else {
        parse.state = TLookupReplyParse::Malformed;
        parse.error = xml.errorString();
    }
    return parse;
}
