#include "PhoneBookSim.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <vector>

namespace {

const QString kEnvelope = QStringLiteral("http://schemas.xmlsoap.org/soap/envelope/");
const char* const kTextElements[] = {"LAST_NAME",        "FIRST_NAME",         "NICKNAME",
                                     "MOBILE_TELEPHONE", "BUSINESS_TELEPHONE", "HOME_TELEPHONE"};
const char* const kLaterTextElements[] = {"EMAIL",   "MSN",     "ICQ",     "SKYPE",   "FAX",    "DESCRIPTION",
                                          "FIELD_1", "FIELD_2", "FIELD_3", "FIELD_4", "FIELD_5"};
constexpr int kMaxDepth = 64;

// What the service answers with a SOAP fault.
struct Fault
{
    QString code;
    QString text;
};

QByteArray Escaped(const QString& text)
{
    return text.toHtmlEscaped().toUtf8();
}

// Replies use the prefix "p" for the service's namespace and "s" for the envelope.
QByteArray Tag(const QString& name, const QByteArray& inner)
{
    const QByteArray n = name.toUtf8();
    return "<p:" + n + '>' + inner + "</p:" + n + '>';
}

QByteArray Envelope(const QByteArray& body)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<s:Envelope xmlns:s=\"" +
           kEnvelope.toUtf8() + "\"><s:Body>" + body + "</s:Body></s:Envelope>";
}

HttpResponse FaultResponse(const Fault& f)
{
    return HttpResponse::Text(500, "Internal Server Error", "text/xml; charset=utf-8",
                              Envelope("<s:Fault><faultcode>s:" + f.code.toUtf8() +
                                       "</faultcode><faultstring>" + Escaped(f.text) +
                                       "</faultstring></s:Fault>"));
}

qint32 IntOf(const QString& text, const QString& what)
{
    bool ok = false;
    const qint32 value = text.trimmed().toInt(&ok);
    if (!ok)
        throw Fault{QStringLiteral("Client"),
                    QStringLiteral("%1: input string was not in a correct format.").arg(what)};
    return value;
}

} // namespace

struct PhoneBookSim::Element
{
    QString ns;
    QString name;
    QString text;
    std::vector<Element> children;

    // The first child of that name in the service's namespace.
    const Element* Child(const QString& childName) const
    {
        for (const Element& c : children)
            if (c.name == childName && c.ns == PhoneBookSim::Namespace())
                return &c;
        return nullptr;
    }
    QString Text(const QString& childName) const
    {
        const Element* c = Child(childName);
        return c ? c->text : QString();
    }
    qint32 Int(const QString& childName) const
    {
        const Element* c = Child(childName);
        if (!c)
            throw Fault{QStringLiteral("Client"), QStringLiteral("%1 is missing").arg(childName)};
        return IntOf(c->text, childName);
    }
};

namespace {

bool ReadElement(QXmlStreamReader& xml, PhoneBookSim::Element& into, int depth)
{
    into.ns = xml.namespaceUri().toString();
    into.name = xml.name().toString();
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            if (depth >= kMaxDepth)
                return false;
            into.children.emplace_back();
            if (!ReadElement(xml, into.children.back(), depth + 1))
                return false;
            break;
        case QXmlStreamReader::Characters:
            into.text += xml.text();
            break;
        case QXmlStreamReader::EndElement:
            return true;
        case QXmlStreamReader::DTD:
            return false;
        default:
            break;
        }
    }
    return false;
}

// The request's root element, or a fault for what is not a readable SOAP 1.1 envelope.
PhoneBookSim::Element ParseRequest(const QByteArray& body)
{
    QXmlStreamReader xml(body);
    while (!xml.atEnd() && xml.readNext() != QXmlStreamReader::StartElement)
        if (xml.tokenType() == QXmlStreamReader::DTD)
            throw Fault{QStringLiteral("Client"), QStringLiteral("A document type is not allowed.")};
    PhoneBookSim::Element root;
    if (xml.tokenType() != QXmlStreamReader::StartElement || !ReadElement(xml, root, 0) || xml.hasError())
        throw Fault{QStringLiteral("Client"),
                    QStringLiteral("Bad request: %1")
                        .arg(xml.hasError() ? xml.errorString() : QStringLiteral("XML"))};
    return root;
}

} // namespace

PhoneBookSim::PhoneBookSim()
{
    QFile wsdl(QStringLiteral(":/TarvoPhoneBook.wsdl"));
    if (wsdl.open(QIODevice::ReadOnly))
        m_wsdl = wsdl.readAll();
    const auto folder = [this](const QString& name, const QString& type) {
        m_folders.append(Folder{m_nextFolder++, name, type});
    };
    folder(QStringLiteral("Rubrica"), QStringLiteral("ft_Main"));
    folder(QStringLiteral("Amici"), QStringLiteral("ft_Folder"));
    folder(QStringLiteral("Lavoro"), QStringLiteral("ft_Folder"));
    folder(QStringLiteral("Cellulari"), QStringLiteral("ft_Mobile"));
    const auto contact = [this](const QString& nick, const QString& first, const QString& last,
                                const QString& mobile, QList<qint32> folders) {
        Contact c;
        c.id = m_nextContact++;
        c.texts.insert(QStringLiteral("NICKNAME"), nick);
        c.texts.insert(QStringLiteral("FIRST_NAME"), first);
        c.texts.insert(QStringLiteral("LAST_NAME"), last);
        c.texts.insert(QStringLiteral("MOBILE_TELEPHONE"), mobile);
        c.folders = std::move(folders);
        m_contacts.append(c);
    };
    contact(QStringLiteral("Mario"), QStringLiteral("Mario"), QStringLiteral("Rossi"),
            QStringLiteral("+39 333 1234567"), {1, 2});
    contact(QString(), QStringLiteral("Giulia"), QStringLiteral("Bianchi"),
            QStringLiteral("+39 347-765/4321"), {1, 2, 3});
    contact(QStringLiteral("Luca"), QStringLiteral("Luca"), QStringLiteral("Verdi"),
            QStringLiteral("+393401112222"), {1, 3});
    contact(QStringLiteral("Sara"), QStringLiteral("Sara"), QStringLiteral("Neri"),
            QStringLiteral("+393281234000"), {1, 4});
}

PhoneBookSim::~PhoneBookSim() = default;

void PhoneBookSim::AddGeneratedContacts(int count)
{
    for (int i = 0; i < count; ++i) {
        Contact c;
        c.id = m_nextContact++;
        c.texts.insert(QStringLiteral("NICKNAME"), QStringLiteral("Contatto %1").arg(c.id));
        c.texts.insert(QStringLiteral("MOBILE_TELEPHONE"),
                       QStringLiteral("+39320%1").arg(c.id, 7, 10, QLatin1Char('0')));
        c.folders = {1};
        m_contacts.append(c);
    }
}

void PhoneBookSim::Register(HttpSim& http)
{
    http.Route("*", Path(), [this](const HttpRequest& request) { return Handle(request); });
}

HttpResponse PhoneBookSim::Handle(const HttpRequest& request)
{
    if (request.method == "GET") {
        if (request.query.compare("wsdl", Qt::CaseInsensitive) != 0)
            return HttpResponse::Text(200, "OK", "text/html; charset=utf-8",
                                      "<html><body>TarvoPhoneBook: the WSDL is at ?wsdl</body></html>");
        // The service's address is the one the request came to.
        QByteArray wsdl = m_wsdl;
        wsdl.replace("http://www.tarvotelecom.example/services/TarvoPhoneBook.asmx",
                     "http://" + request.Header("Host") + Path());
        return HttpResponse::Text(200, "OK", "text/xml; charset=utf-8", wsdl);
    }
    if (request.method != "POST")
        return HttpResponse::Text(405, "Method Not Allowed", "text/plain", "GET or POST\n");
    if (!request.Header("Content-Type").toLower().startsWith("text/xml"))
        return HttpResponse::Text(415, "Unsupported Media Type", "text/plain", "SOAP 1.1 needs text/xml\n");
    try {
        const Element root = ParseRequest(request.body);
        if (root.ns != kEnvelope || root.name != u"Envelope")
            throw Fault{QStringLiteral("VersionMismatch"), QStringLiteral("Not a SOAP 1.1 envelope.")};
        const Element* body = nullptr;
        for (const Element& c : root.children)
            if (c.ns == kEnvelope && c.name == u"Body")
                body = &c;
        if (!body || body->children.empty())
            throw Fault{QStringLiteral("Client"), QStringLiteral("The envelope has no body.")};
        const Element& call = body->children.front();
        if (call.ns != Namespace())
            throw Fault{QStringLiteral("Client"),
                        QStringLiteral("Server did not recognize the request element %1 in namespace '%2'.")
                            .arg(call.name, call.ns)};
        QByteArray action = request.Header("SOAPAction").trimmed();
        if (action.size() >= 2 && action.startsWith('"') && action.endsWith('"'))
            action = action.mid(1, action.size() - 2);
        if (QString::fromUtf8(action) != Namespace() + call.name)
            throw Fault{QStringLiteral("Client"),
                        QStringLiteral("Server did not recognize the value of HTTP Header SOAPAction: %1.")
                            .arg(QString::fromUtf8(action))};
        const Element* login = call.Child(QStringLiteral("UserLogin"));
        if (!login || login->Text(QStringLiteral("Domain")) != u"tarvotelecom" ||
            login->Text(QStringLiteral("UserID")).isEmpty())
            throw Fault{QStringLiteral("Client"), QStringLiteral("Login failed.")};
        const QByteArray result = Run(call.name, call);
        return HttpResponse::Text(200, "OK", "text/xml; charset=utf-8",
                                  Envelope("<p:" + call.name.toUtf8() + "Response xmlns:p=\"" +
                                           Namespace().toUtf8() + "\">" + result +
                                           "</p:" + call.name.toUtf8() + "Response>"));
    } catch (const Fault& f) {
        return FaultResponse(f);
    }
}

QList<const PhoneBookSim::Contact*> PhoneBookSim::Members(const Folder& folder) const
{
    QList<const Contact*> members;
    for (const Contact& c : m_contacts)
        if (folder.type == u"ft_Main" || c.folders.contains(folder.id))
            members.append(&c);
    return members;
}

PhoneBookSim::Folder* PhoneBookSim::FindFolder(qint32 id)
{
    for (Folder& f : m_folders)
        if (f.id == id)
            return &f;
    throw Fault{QStringLiteral("Server"), QStringLiteral("Folder %1 does not exist.").arg(id)};
}

PhoneBookSim::Contact* PhoneBookSim::FindContact(qint32 id)
{
    for (Contact& c : m_contacts)
        if (c.id == id)
            return &c;
    return nullptr;
}

void PhoneBookSim::ReadContact(const Element& from, Contact& into) const
{
    for (const Element& e : from.children) {
        if (e.ns != Namespace())
            continue;
        if (e.name == u"SEX")
            into.sex = e.text.trimmed();
        else if (e.name == u"BIRTHDAY")
            into.birthday = e.text.trimmed();
        else if (e.name == u"ID_FOLDERS")
            for (const Element& id : e.children)
                into.folders.append(IntOf(id.text, QStringLiteral("ID_FOLDERS")));
        else if (e.name != u"ID" && e.name != u"Page" && e.name != u"MaxPage")
            into.texts.insert(e.name, e.text);
    }
}

QByteArray PhoneBookSim::ContactXml(const QString& element, const Contact& c, qint32 page,
                                    qint32 maxPage) const
{
    QByteArray inner = Tag(QStringLiteral("ID"), QByteArray::number(c.id));
    const auto texts = [&](const auto& names) {
        for (const char* name : names) {
            const QString n = QLatin1StringView(name);
            if (c.texts.contains(n))
                inner += Tag(n, Escaped(c.texts.value(n)));
        }
    };
    texts(kTextElements);
    inner +=
        Tag(QStringLiteral("SEX"), c.sex.toUtf8()) + Tag(QStringLiteral("BIRTHDAY"), Escaped(c.birthday));
    texts(kLaterTextElements);
    QByteArray ids;
    for (qint32 id : c.folders)
        ids += Tag(QStringLiteral("int"), QByteArray::number(id));
    inner += Tag(QStringLiteral("ID_FOLDERS"), ids);
    inner += Tag(QStringLiteral("Page"), QByteArray::number(page)) +
             Tag(QStringLiteral("MaxPage"), QByteArray::number(maxPage));
    return Tag(element, inner);
}

QByteArray PhoneBookSim::FolderXml(const QString& element, const Folder& f) const
{
    return Tag(element, Tag(QStringLiteral("FolderID"), QByteArray::number(f.id)) +
                            Tag(QStringLiteral("FolderName"), Escaped(f.name)) +
                            Tag(QStringLiteral("ContactsCount"), QByteArray::number(Members(f).size())) +
                            Tag(QStringLiteral("Folder_Type"), f.type.toUtf8()));
}

QByteArray PhoneBookSim::Run(const QString& op, const Element& call)
{
    const QString result = op + QStringLiteral("Result");
    const auto text = [&](const QString& value) { return Tag(result, Escaped(value)); };
    const QString ok = QStringLiteral("+OK");

    if (op == u"CreateNewPhoneBook")
        return text(ok);
    if (op == u"GetPhoneBookVersion")
        return text(QStringLiteral("1.0"));
    if (op == u"AddFolderList") {
        m_folders.append(
            Folder{m_nextFolder++, call.Text(QStringLiteral("NewName")), QStringLiteral("ft_Folder")});
        return text(QString::number(m_folders.last().id));
    }
    if (op == u"GetFolderLists") {
        QByteArray folders;
        for (const Folder& f : m_folders)
            folders += FolderXml(QStringLiteral("RecordFolder"), f);
        return Tag(result, Tag(QStringLiteral("RecordFolder"), folders));
    }
    if (op == u"GetFolderDetailsByID")
        return FolderXml(result, *FindFolder(call.Int(QStringLiteral("FolderID"))));
    if (op == u"GetFolderContacts") {
        const QList<const Contact*> members = Members(*FindFolder(call.Int(QStringLiteral("FolderID"))));
        const qint64 page = call.Int(QStringLiteral("Page"));
        const qint64 size = call.Int(QStringLiteral("PageSize"));
        if (page < 0 || size < 1)
            throw Fault{QStringLiteral("Client"),
                        QStringLiteral("Page must be 0 or more and PageSize 1 or more.")};
        const qint32 maxPage = members.isEmpty() ? 0 : qint32((members.size() - 1) / size);
        QByteArray contacts;
        for (qint64 i = page * size; i < members.size() && i < (page + 1) * size; ++i)
            contacts += ContactXml(QStringLiteral("Contact"), *members.at(i), qint32(page), maxPage);
        return Tag(result, contacts);
    }
    if (op == u"GetContactDetails") {
        const Contact* c = FindContact(call.Int(QStringLiteral("ContactID")));
        if (!c)
            throw Fault{QStringLiteral("Server"), QStringLiteral("The contact does not exist.")};
        return ContactXml(result, *c, 0, 0);
    }
    if (op == u"AddNewContact" || op == u"InsertMultipleNewContact") {
        QList<const Element*> given;
        if (op == u"AddNewContact") {
            if (const Element* d = call.Child(QStringLiteral("ContactDetails")))
                given.append(d);
        } else if (const Element* list = call.Child(QStringLiteral("Contacts"))) {
            for (const Element& c : list->children)
                given.append(&c);
        }
        if (given.isEmpty())
            throw Fault{QStringLiteral("Client"), QStringLiteral("No contact given.")};
        const qint32 folder = op == u"AddNewContact" ? 0 : call.Int(QStringLiteral("FolderID"));
        for (const Element* d : given) {
            Contact c;
            c.id = m_nextContact++;
            ReadContact(*d, c);
            if (folder > 0)
                c.folders.append(folder);
            m_contacts.append(c);
        }
        return text(op == u"AddNewContact" ? QString::number(m_contacts.last().id) : ok);
    }
    if (op == u"UpdateContactDetails") {
        const Element* d = call.Child(QStringLiteral("UpContact"));
        Contact* c = d ? FindContact(d->Int(QStringLiteral("ID"))) : nullptr;
        if (!c)
            throw Fault{QStringLiteral("Server"), QStringLiteral("The contact does not exist.")};
        ReadContact(*d, *c);
        return ContactXml(result, *c, 0, 0);
    }
    if (op == u"AddContactToFolderLists" || op == u"RemoveContactInFolderList") {
        Contact* c = FindContact(call.Int(QStringLiteral("ContactID")));
        if (!c)
            return text(QStringLiteral("-ERR contact not found"));
        const bool add = op == u"AddContactToFolderLists";
        const QString ids = call.Text(add ? QStringLiteral("Folders") : QStringLiteral("Folder"));
        for (const QString& id : ids.split(QRegularExpression(QStringLiteral("[;, ]")), Qt::SkipEmptyParts)) {
            const qint32 folder = FindFolder(IntOf(id, QStringLiteral("Folders")))->id;
            c->folders.removeAll(folder);
            if (add)
                c->folders.append(folder);
        }
        return text(ok);
    }
    if (op == u"DeleteFolderList") {
        const qint32 id = FindFolder(call.Int(QStringLiteral("FolderID")))->id;
        const QString option = call.Text(QStringLiteral("Option"));
        const bool dropOrphans = option == u"DeleteFolderlistAndAllOrphanContacts";
        for (qsizetype i = m_contacts.size() - 1; i >= 0; --i) {
            Contact& c = m_contacts[i];
            if (c.folders.removeAll(id) > 0 && dropOrphans && c.folders.size() <= 1)
                m_contacts.removeAt(i);
        }
        m_folders.removeIf([id](const Folder& f) { return f.id == id; });
        return text(ok);
    }
    if (op == u"DeleteContact") {
        const qint32 id = call.Int(QStringLiteral("ContactID"));
        const qsizetype removed = m_contacts.removeIf([id](const Contact& c) { return c.id == id; });
        return text(removed ? ok : QStringLiteral("-ERR contact not found"));
    }
    if (op == u"RenameFolderList") {
        FindFolder(call.Int(QStringLiteral("FolderID")))->name = call.Text(QStringLiteral("NewName"));
        return text(ok);
    }
    if (op == u"GetFolderIDbyName") {
        for (const Folder& f : m_folders)
            if (f.name.compare(call.Text(QStringLiteral("FolderName")), Qt::CaseInsensitive) == 0)
                return text(QString::number(f.id));
        return text(QStringLiteral("-1"));
    }
    if (op == u"GetFolderTypeById")
        return Tag(result, FindFolder(call.Int(QStringLiteral("FolderID")))->type.toUtf8());
    throw Fault{QStringLiteral("Client"),
                QStringLiteral("Server did not recognize the operation %1.").arg(op)};
}
