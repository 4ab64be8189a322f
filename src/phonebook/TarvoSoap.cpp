#include "phonebook/TarvoSoap.h"

#include <QHash>
#include <QXmlStreamWriter>
#include <utility>

QString TarvoSoap::Namespace()
{
    return QStringLiteral("http://www.tarvotelecom.example/TarvoPhoneBook/");
}

QString TarvoSoap::EnvelopeNamespace()
{
    return QStringLiteral("http://schemas.xmlsoap.org/soap/envelope/");
}

QString TarvoSoap::SoapAction(const QString& operation)
{
    return Namespace() + operation;
}

TUserLog TUserLog::ForAccount(const QString& userName, const QString& password)
{
    return TUserLog{userName, password, QStringLiteral("tarvotelecom")};
}

namespace {

enum class FieldKind
{
    Int,
    Text,
    Sex,
    DateTime,
    IntArray,
    FolderType
};

struct ContactField
{
    const char* name;
    FieldKind kind;
    std::optional<QString> TRemoteContact::*text = nullptr;
    qint32 TRemoteContact::*number = nullptr;
};

// The elements of a Contact in their declared order.
const ContactField kContactFields[] = {
    {"ID", FieldKind::Int, nullptr, &TRemoteContact::ID},
    {"LAST_NAME", FieldKind::Text, &TRemoteContact::LAST_NAME},
    {"FIRST_NAME", FieldKind::Text, &TRemoteContact::FIRST_NAME},
    {"NICKNAME", FieldKind::Text, &TRemoteContact::NICKNAME},
    {"MOBILE_TELEPHONE", FieldKind::Text, &TRemoteContact::MOBILE_TELEPHONE},
    {"BUSINESS_TELEPHONE", FieldKind::Text, &TRemoteContact::BUSINESS_TELEPHONE},
    {"HOME_TELEPHONE", FieldKind::Text, &TRemoteContact::HOME_TELEPHONE},
    {"SEX", FieldKind::Sex, nullptr, &TRemoteContact::SEX},
    {"BIRTHDAY", FieldKind::DateTime},
    {"EMAIL", FieldKind::Text, &TRemoteContact::EMAIL},
    {"MSN", FieldKind::Text, &TRemoteContact::MSN},
    {"ICQ", FieldKind::Text, &TRemoteContact::ICQ},
    {"SKYPE", FieldKind::Text, &TRemoteContact::SKYPE},
    {"FAX", FieldKind::Text, &TRemoteContact::FAX},
    {"DESCRIPTION", FieldKind::Text, &TRemoteContact::DESCRIPTION},
    {"FIELD_1", FieldKind::Text, &TRemoteContact::FIELD_1},
    {"FIELD_2", FieldKind::Text, &TRemoteContact::FIELD_2},
    {"FIELD_3", FieldKind::Text, &TRemoteContact::FIELD_3},
    {"FIELD_4", FieldKind::Text, &TRemoteContact::FIELD_4},
    {"FIELD_5", FieldKind::Text, &TRemoteContact::FIELD_5},
    {"ID_FOLDERS", FieldKind::IntArray},
    {"Page", FieldKind::Int, nullptr, &TRemoteContact::Page},
    {"MaxPage", FieldKind::Int, nullptr, &TRemoteContact::MaxPage},
};

struct FolderField
{
    const char* name;
    FieldKind kind;
};

const FolderField kFolderFields[] = {
    {"FolderID", FieldKind::Int},
    {"FolderName", FieldKind::Text},
    {"ContactsCount", FieldKind::Int},
    {"Folder_Type", FieldKind::FolderType},
};

const char* const kSexNames[] = {"st_Male", "st_Female"};
const char* const kFolderTypeNames[] = {"ft_Folder", "ft_Main", "ft_Mobile"};

template <typename Table> int FieldIndex(const Table& table, QStringView name)
{
    for (int i = 0; i < int(std::size(table)); ++i)
        if (name == QLatin1StringView(table[i].name))
            return i;
    return -1;
}

// Characters XML 1.0 cannot carry at all would make the envelope unreadable; they are left out.
QString XmlSafe(const QString& text)
{
    QString safe;
    safe.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            safe.append(c).append(text.at(++i));
            continue;
        }
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0D) || c.isSurrogate() || u == 0xFFFE ||
            u == 0xFFFF)
            continue;
        safe.append(c);
    }
    return safe;
}

// xs:dateTime with the local offset, seconds precision.
QString DateTimeText(const QDateTime& t)
{
    if (!t.isValid())
        return QStringLiteral("0001-01-01T00:00:00");
    return t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODate);
}

class Envelope
{
public:
    Envelope(const QString& operation, const TUserLog& login) : m_xml(&m_bytes)
    {
        m_xml.writeStartDocument();
        m_xml.writeNamespace(TarvoSoap::EnvelopeNamespace(), QStringLiteral("soap"));
        m_xml.writeStartElement(TarvoSoap::EnvelopeNamespace(), QStringLiteral("Envelope"));
        m_xml.writeStartElement(TarvoSoap::EnvelopeNamespace(), QStringLiteral("Body"));
        // The operation declares the service's namespace as the default one for everything inside.
        m_xml.writeStartElement(operation);
        m_xml.writeDefaultNamespace(TarvoSoap::Namespace());
        m_xml.writeStartElement(QStringLiteral("UserLogin"));
        Optional(QStringLiteral("UserID"), login.UserID);
        Optional(QStringLiteral("Password"), login.Password);
        Optional(QStringLiteral("Domain"), login.Domain);
        m_xml.writeEndElement();
    }

    void Text(const QString& name, const QString& value) { m_xml.writeTextElement(name, XmlSafe(value)); }
    void Int(const QString& name, qint64 value) { m_xml.writeTextElement(name, QString::number(value)); }
    void Optional(const QString& name, const std::optional<QString>& value)
    {
        if (value)
            Text(name, *value);
    }

    void Contact(const QString& name, const TRemoteContact& c)
    {
        m_xml.writeStartElement(name);
        for (const ContactField& f : kContactFields) {
            const QString fieldName = QLatin1StringView(f.name);
            switch (f.kind) {
            case FieldKind::Int:
                Int(fieldName, c.*f.number);
                break;
            case FieldKind::Text:
                Optional(fieldName, c.*f.text);
                break;
            case FieldKind::Sex:
                Text(fieldName, QLatin1StringView(kSexNames[c.SEX == 1 ? 1 : 0]));
                break;
            case FieldKind::DateTime:
                Text(fieldName, DateTimeText(c.BIRTHDAY));
                break;
            case FieldKind::IntArray:
                if (c.ID_FOLDERS) {
                    m_xml.writeStartElement(fieldName);
                    for (qint32 id : *c.ID_FOLDERS)
                        Int(QStringLiteral("int"), id);
                    m_xml.writeEndElement();
                }
                break;
            case FieldKind::FolderType:
                break;
            }
        }
        m_xml.writeEndElement();
    }

    QByteArray Finish()
    {
        m_xml.writeEndDocument();
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    QXmlStreamWriter m_xml;
};

} // namespace

QByteArray TarvoSoap::GetFolderListsRequest(const TUserLog& login)
{
    return Envelope(QStringLiteral("GetFolderLists"), login).Finish();
}

QByteArray TarvoSoap::GetFolderContactsRequest(const TUserLog& login, qint32 folderID, qint32 page,
                                               qint32 pageSize)
{
    Envelope e(QStringLiteral("GetFolderContacts"), login);
    e.Int(QStringLiteral("FolderID"), folderID);
    e.Int(QStringLiteral("Page"), page);
    e.Int(QStringLiteral("PageSize"), pageSize);
    return e.Finish();
}

QByteArray TarvoSoap::AddNewContactRequest(const TUserLog& login, const TRemoteContact& contact)
{
    Envelope e(QStringLiteral("AddNewContact"), login);
    e.Contact(QStringLiteral("ContactDetails"), contact);
    return e.Finish();
}

QByteArray TarvoSoap::UpdateContactDetailsRequest(const TUserLog& login, const TRemoteContact& contact)
{
    Envelope e(QStringLiteral("UpdateContactDetails"), login);
    e.Contact(QStringLiteral("UpContact"), contact);
    return e.Finish();
}

QByteArray TarvoSoap::DeleteContactRequest(const TUserLog& login, qint32 contactID)
{
    Envelope e(QStringLiteral("DeleteContact"), login);
    e.Int(QStringLiteral("ContactID"), contactID);
    return e.Finish();
}

// ---- reading replies

enum class TSoapReplyReader::Role : quint8
{
    Envelope,
    Body,
    Fault,
    FaultCode,
    FaultString,
    Response,
    Result,
    FolderArray,
    Folder,
    FolderField,
    Contact,
    ContactField,
    IdFolders,
    IdFoldersItem,
    Skip,
};

TSoapReplyReader::TSoapReplyReader(const QString& operation, Result kind)
    : m_operation(operation), m_responseName(operation + QStringLiteral("Response")),
      m_resultName(operation + QStringLiteral("Result")), m_kind(kind)
{
}

TSoapReplyReader::~TSoapReplyReader() = default;

TSoapReplyReader::State TSoapReplyReader::AddData(const QByteArray& bytes)
{
    if (m_state != State::Reading || bytes.isEmpty())
        return m_state;
    // The parser gets the reply in pieces that each end after a '>', however the network cut it,
    // so a reply reads the same in any pieces: the parser decodes what it is given at once, and
    // a broken byte after the envelope's end would otherwise fail a reply read whole only.
    m_unparsed += bytes;
    qsizetype from = 0;
    for (qsizetype end; m_state == State::Reading && (end = m_unparsed.indexOf('>', from)) >= 0; from = end + 1) {
        m_xml.addData(m_unparsed.sliced(from, end + 1 - from));
        Parse();
    }
    m_unparsed.remove(0, from);
    return m_state;
}

TSoapReplyReader::State TSoapReplyReader::Finish()
{
    if (m_state == State::Reading && !m_unparsed.isEmpty()) {
        m_xml.addData(std::exchange(m_unparsed, {}));
        Parse();
    }
    if (m_state == State::Reading)
        Fail(m_frames.isEmpty() && !m_sawResponse
                 ? QStringLiteral("the reply holds no SOAP envelope")
                 : QStringLiteral("the reply ends before its envelope is closed"));
    return m_state;
}

void TSoapReplyReader::Fail(const QString& why)
{
    if (m_state != State::Reading)
        return;
    m_state = State::Failed;
    m_error = why;
}

bool TSoapReplyReader::IsService(QStringView ns) const
{
    // Unqualified children are taken as the service's too: some servers write them so.
    return ns.isEmpty() || ns == TarvoSoap::Namespace();
}

bool TSoapReplyReader::IsNil() const
{
    const QStringView nil = m_xml.attributes().value(
        QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"), QStringLiteral("nil"));
    return nil == u"true" || nil == u"1";
}

void TSoapReplyReader::Parse()
{
    while (m_state == State::Reading) {
        switch (m_xml.readNext()) {
        case QXmlStreamReader::Invalid:
            if (m_xml.error() != QXmlStreamReader::PrematureEndOfDocumentError)
                Fail(QStringLiteral("the reply is not well-formed XML: %1 (line %2, column %3)")
                         .arg(m_xml.errorString())
                         .arg(m_xml.lineNumber())
                         .arg(m_xml.columnNumber()));
            return;
        case QXmlStreamReader::DTD:
            Fail(QStringLiteral("the reply declares a document type, which a SOAP message may not"));
            return;
        case QXmlStreamReader::StartElement:
            Start();
            break;
        case QXmlStreamReader::EndElement:
            End();
            break;
        case QXmlStreamReader::Characters:
            switch (m_frames.isEmpty() ? Role::Skip : m_frames.last().role) {
            case Role::FaultCode:
            case Role::FaultString:
            case Role::FolderField:
            case Role::ContactField:
            case Role::IdFoldersItem:
                m_text += m_xml.text();
                break;
            case Role::Result:
                if (m_kind == Result::Text)
                    m_text += m_xml.text();
                break;
            default:
                break;
            }
            break;
        default:
            break;
        }
    }
}

TSoapReplyReader::Role TSoapReplyReader::ChildRole(Role parent) const
{
    const QStringView ns = m_xml.namespaceUri();
    const QStringView name = m_xml.name();
    switch (parent) {
    case Role::Envelope:
        return ns == TarvoSoap::EnvelopeNamespace() && name == u"Body" ? Role::Body : Role::Skip;
    case Role::Fault:
        if (name == u"faultcode")
            return Role::FaultCode;
        return name == u"faultstring" ? Role::FaultString : Role::Skip;
    case Role::Response:
        return IsService(ns) && name == m_resultName ? Role::Result : Role::Skip;
    case Role::Result:
        if (!IsService(ns))
            return Role::Skip;
        if (m_kind == Result::Folders && name == u"RecordFolder")
            return Role::FolderArray;
        if (m_kind == Result::Contacts && name == u"Contact")
            return IsNil() ? Role::Skip : Role::Contact;
        if (m_kind == Result::Contact)
            return ChildRole(Role::Contact);
        return Role::Skip;
    case Role::FolderArray:
        return IsService(ns) && name == u"RecordFolder" && !IsNil() ? Role::Folder : Role::Skip;
    case Role::Folder:
        return IsService(ns) && FieldIndex(kFolderFields, name) >= 0 ? Role::FolderField : Role::Skip;
    case Role::Contact:
        if (!IsService(ns))
            return Role::Skip;
        if (name == u"ID_FOLDERS")
            return Role::IdFolders;
        return FieldIndex(kContactFields, name) >= 0 ? Role::ContactField : Role::Skip;
    case Role::IdFolders:
        return IsService(ns) && name == u"int" ? Role::IdFoldersItem : Role::Skip;
    default:
        return Role::Skip;
    }
}

void TSoapReplyReader::Start()
{
    m_text.clear();
    const QStringView ns = m_xml.namespaceUri();
    const QStringView name = m_xml.name();
    Role role = Role::Skip;
    int field = -1;
    if (m_frames.isEmpty()) {
        if (ns != TarvoSoap::EnvelopeNamespace() || name != u"Envelope") {
            Fail(name == u"Envelope"
                     ? QStringLiteral("the reply is not a SOAP 1.1 envelope (namespace '%1')").arg(ns)
                     : QStringLiteral("the reply is not a SOAP envelope but <%1>").arg(name));
            return;
        }
        role = Role::Envelope;
    } else if (m_frames.last().role == Role::Body) {
        if (m_sawResponse) {
            role = Role::Skip;
        } else if (ns == TarvoSoap::EnvelopeNamespace() && name == u"Fault") {
            role = Role::Fault;
            m_sawResponse = true;
        } else if (!IsService(ns)) {
            Fail(QStringLiteral("the reply is in the namespace '%1', not the service's '%2'")
                     .arg(ns, TarvoSoap::Namespace()));
            return;
        } else if (name != m_responseName) {
            Fail(QStringLiteral("the reply holds <%1> where <%2Response> belongs").arg(name, m_operation));
            return;
        } else {
            role = Role::Response;
            m_sawResponse = true;
        }
    } else {
        role = ChildRole(m_frames.last().role);
    }
    if (role == Role::Folder) {
        m_folder = TRecordFolder();
        m_folderHasID = m_folderHasType = false;
    } else if (role == Role::Contact || (role == Role::Result && m_kind == Result::Contact)) {
        m_contact = TRemoteContact();
        m_contactHasID = false;
    } else if (role == Role::FolderField) {
        field = FieldIndex(kFolderFields, name);
    } else if (role == Role::ContactField) {
        field = FieldIndex(kContactFields, name);
    } else if (role == Role::IdFolders) {
        m_contact.ID_FOLDERS = QList<qint32>();
    }
    m_frames.append(Frame{role, field, IsNil()});
}

bool TSoapReplyReader::Assign(Role role, int field, bool nil, const QString& raw)
{
    const QString text = raw.trimmed();
    const auto integer = [&](const char* name, qint32* target) {
        bool ok = false;
        const qint32 value = text.toInt(&ok);
        if (!ok) {
            Fail(QStringLiteral("%1 is not an integer: '%2'").arg(QLatin1StringView(name), text.left(40)));
            return false;
        }
        *target = value;
        return true;
    };
    if (role == Role::IdFoldersItem) {
        qint32 id = 0;
        if (!integer("ID_FOLDERS", &id))
            return false;
        m_contact.ID_FOLDERS->append(id);
        return true;
    }
    if (role == Role::FolderField) {
        switch (field) {
        case 0:
            return (m_folderHasID = integer("FolderID", &m_folder.FolderID));
        case 1:
            m_folder.FolderName = nil ? std::nullopt : std::optional<QString>(raw);
            return true;
        case 2:
            return integer("ContactsCount", &m_folder.ContactsCount);
        default:
            m_folderHasType = true;
            m_folder.Folder_Type = TFolderType::Other; // another value is a type the program skips
            for (int i = 0; i < int(std::size(kFolderTypeNames)); ++i)
                if (text == QLatin1StringView(kFolderTypeNames[i]) || text == QString::number(i))
                    m_folder.Folder_Type = static_cast<TFolderType>(i);
            return true;
        }
    }
    const ContactField& f = kContactFields[field];
    switch (f.kind) {
    case FieldKind::Int:
        if (field == 0)
            m_contactHasID = true;
        return integer(f.name, &(m_contact.*f.number));
    case FieldKind::Text:
        m_contact.*f.text = nil ? std::nullopt : std::optional<QString>(raw);
        return true;
    case FieldKind::Sex:
        m_contact.SEX = text == QLatin1StringView(kSexNames[1]) || text == u"1" ? 1 : 0;
        return true;
    case FieldKind::DateTime:
        m_contact.BIRTHDAY = QDateTime::fromString(text, Qt::ISODateWithMs);
        return true;
    default:
        return true;
    }
}

void TSoapReplyReader::End()
{
    if (m_frames.isEmpty())
        return;
    const Frame frame = m_frames.takeLast();
    switch (frame.role) {
    case Role::Envelope:
        if (!m_sawResponse)
            Fail(QStringLiteral("the reply holds no <%1Response>").arg(m_operation));
        else if (m_state == State::Reading)
            m_state = State::Done;
        return;
    case Role::Fault:
        m_fault = true;
        return;
    case Role::FaultCode:
        m_faultCode = m_text.trimmed();
        return;
    case Role::FaultString:
        m_faultString = m_text.trimmed();
        return;
    case Role::Result:
        if (m_kind == Result::Text && !frame.nil)
            m_resultText = m_text;
        if (m_kind == Result::Contact && !frame.nil) {
            if (!m_contactHasID)
                return Fail(QStringLiteral("a Contact without ID"));
            if (m_onContact)
                m_onContact(m_contact);
        }
        return;
    case Role::FolderField:
    case Role::ContactField:
    case Role::IdFoldersItem:
        Assign(frame.role, frame.field, frame.nil, m_text);
        return;
    case Role::Folder:
        if (!m_folderHasID)
            return Fail(QStringLiteral("a RecordFolder without FolderID"));
        if (!m_folderHasType)
            return Fail(QStringLiteral("RecordFolder %1 has no Folder_Type").arg(m_folder.FolderID));
        if (m_onFolder)
            m_onFolder(m_folder);
        return;
    case Role::Contact:
        if (!m_contactHasID)
            return Fail(QStringLiteral("a Contact without ID"));
        if (m_onContact)
            m_onContact(m_contact);
        return;
    default:
        return;
    }
}
