#include "phonebook/PreviousPhoneBook.h"

#include "phonebook/ContactsTree.h"
#include "platform/Paths.h"
#include "platform/Win1252.h"

#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QXmlStreamReader>

namespace {

QString SingleBackslashes(QString path)
{
    return path.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
}

// The first element among node and its following siblings.
QDomNode FirstElementFrom(QDomNode node)
{
    while (!node.isNull() && !node.isElement())
        node = node.nextSibling();
    return node;
}

QDomNode NextElement(const QDomNode& node)
{
    return FirstElementFrom(node.nextSibling());
}

// Where the sections start: inside MAIN_CONTACTS, or the document's own top level.
QDomNode FirstSection(const QDomDocument& document)
{
    QDomNode first = FirstElementFrom(document.firstChild());
    if (!first.isNull() && first.nodeName() == u"MAIN_CONTACTS")
        return FirstElementFrom(first.firstChild());
    return first;
}

bool IsContactsSection(const QDomNode& node)
{
    return node.nodeName() == u"CONTACTS" || node.nodeName() == u"CONTACTS_SINGLES";
}

void SetPhoneType(TContactData& data, const QString& type)
{
    if (type == u"MOBILE")
        data.PhoneType = TContactData::Mobile;
    else if (type == u"HOME")
        data.PhoneType = TContactData::Home;
    else if (type == u"OFFICE")
        data.PhoneType = TContactData::Office;
}

QString PhoneTypeText(quint8 type)
{
    switch (type) {
    case TContactData::Mobile:
        return QStringLiteral("MOBILE");
    case TContactData::Home:
        return QStringLiteral("HOME");
    case TContactData::Office:
        return QStringLiteral("OFFICE");
    default:
        return {};
    }
}

QString DeclaredEncoding(const QByteArray& bytes, qsizetype* declarationEnd)
{
    *declarationEnd = 0;
    if (!bytes.startsWith("<?xml"))
        return {};
    const qsizetype end = bytes.indexOf("?>");
    if (end < 0)
        return {};
    *declarationEnd = end + 2;
    static const QRegularExpression encoding(QStringLiteral("encoding\\s*=\\s*[\"']([^\"']*)[\"']"));
    const auto match = encoding.match(QString::fromLatin1(bytes.left(end)));
    return match.hasMatch() ? match.captured(1).toLower() : QString();
}

bool IsWin1252Name(const QString& encoding)
{
    static const QStringList names = {QStringLiteral("windows-1252"), QStringLiteral("cp1252"),
                                      QStringLiteral("iso-8859-1"),   QStringLiteral("latin1"),
                                      QStringLiteral("iso-8859-15"),  QStringLiteral("us-ascii")};
    return names.contains(encoding);
}

// Far deeper than any phone book goes; a document nested deeper is refused before the DOM
// builds it (a few hundred thousand levels take minutes there).
constexpr qint64 kMaxDepth = 64;

template <typename Source> bool NestedTooDeep(const Source& source)
{
    QXmlStreamReader reader(source);
    qint64 depth = 0;
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > kMaxDepth)
            return true;
        if (token == QXmlStreamReader::EndElement)
            --depth;
    }
    return false; // a malformed document is reported by the DOM's own parser
}

bool IsValidUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    return !decoder.hasError();
}

} // namespace

TPreviousPhoneBook::TPreviousPhoneBook(QString contactsFile) : m_contactsFile(std::move(contactsFile)) {}

bool TPreviousPhoneBook::Fail(const QString& message)
{
    m_lastError = message;
    return false;
}

QString TPreviousPhoneBook::ListXmlPath(const QString& name) const
{
    const QString file = SingleBackslashes(m_contactsFile);
    const qsizetype slash = std::max(file.lastIndexOf(u'/'), file.lastIndexOf(u'\\'));
    return SingleBackslashes(file.left(slash + 1) + name + QStringLiteral(".xml"));
}

bool TPreviousPhoneBook::LoadXml(const QString& fileName, QDomDocument& document, QString* error)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("%1 cannot be read: %2").arg(fileName, file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    document.clear();
    if (bytes.trimmed().isEmpty())
        return true; // an empty document reads as an empty phone book

    QString message;
    int line = 0;
    int column = 0;
    bool ok = false;
    qsizetype declarationEnd = 0;
    const QString encoding = DeclaredEncoding(bytes, &declarationEnd);
    const bool hasBom =
        bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
    const auto parse = [&](const auto& source) {
        if (NestedTooDeep(source)) {
            message = QStringLiteral("elements nested more than %1 levels deep").arg(kMaxDepth);
            return false;
        }
        return document.setContent(source, &message, &line, &column);
    };
    if (hasBom || encoding.startsWith(QStringLiteral("utf")) || (encoding.isEmpty() && IsValidUtf8(bytes))) {
        ok = parse(bytes);
    } else if (encoding.isEmpty() || IsWin1252Name(encoding)) {
        ok = parse(FromWin1252(QByteArrayView(bytes).sliced(declarationEnd)));
    } else {
        QStringDecoder decoder(qPrintable(encoding));
        if (!decoder.isValid()) {
            *error = QStringLiteral("%1 is written in an unknown encoding \"%2\"").arg(fileName, encoding);
            return false;
        }
        ok = parse(QString(decoder(bytes.mid(declarationEnd))));
    }
    if (!ok)
        *error = QStringLiteral("%1 is not well-formed XML (line %2, column %3: %4)")
                     .arg(fileName)
                     .arg(line)
                     .arg(column)
                     .arg(message);
    return ok;
}

void TPreviousPhoneBook::ReadContact(TContactsTree& tree, TContactNode* target, const QDomNode& contact)
{
    TContactData base;
    base.Kind = TContactData::KindContact;
    base.ImageIndex = TContactData::ContactImage;
    int numbers = 0;
    TContactNode* last = nullptr; // the node of the preceding PHONE_NUMBER
    for (QDomNode child = contact.firstChild(); !child.isNull(); child = child.nextSibling()) {
        const QString name = child.nodeName();
        const QString text = child.toElement().text();
        if (name == u"ID") {
            bool ok = false;
            base.ID = text.toInt(&ok);
            if (!ok)
                base.ID = -1;
        } else if (name == u"FIRST_NAME") {
            base.FirstName = text;
        } else if (name == u"LAST_NAME") {
            base.LastName = text;
        } else if (name == u"NICK_NAME") {
            base.NickName = text;
        } else if (name == u"PHONE_NUMBERS") {
            for (QDomNode phone = FirstElementFrom(child.firstChild()); !phone.isNull();
                 phone = NextElement(phone)) {
                TContactData data = base;
                if (numbers > 0)
                    data.NickName += QStringLiteral(" (%1)").arg(numbers + 1);
                ++numbers;
                for (QDomNode part = phone.firstChild(); !part.isNull(); part = part.nextSibling()) {
                    if (part.nodeName() == u"TYPE")
                        SetPhoneType(data, part.toElement().text());
                    else if (part.nodeName() == u"NUMBER")
                        data.Number = part.toElement().text();
                }
                tree.AddNode(target, data);
            }
        } else if (name == u"PHONE_NUMBER") {
            TContactData data = base;
            data.Number = text;
            last = tree.AddNode(target, data);
        } else if (name == u"TYPE" && last) {
            TContactData data = last->Data();
            SetPhoneType(data, text);
            tree.SetData(last, data);
        }
    }
}

bool TPreviousPhoneBook::ImportPreviousPhoneBook(const QString& mainFile, TContactsTree& tree)
{
    m_lastError.clear();
    const QString file = SingleBackslashes(mainFile);
    if (!QFileInfo::exists(file))
        return true;
    QDomDocument document;
    QString error;
    if (!LoadXml(file, document, &error))
        return Fail(QStringLiteral("The previous phone book could not be read: %1").arg(error));

    QString version;
    tree.BeginUpdate();
    bool ok = true;
    for (QDomNode node = FirstSection(document); ok && !node.isNull(); node = NextElement(node)) {
        if (IsContactsSection(node)) {
            tree.Clear();
            for (QDomNode contact = FirstElementFrom(node.firstChild()); !contact.isNull();
                 contact = NextElement(contact))
                ReadContact(tree, tree.Root(), contact);
            tree.Sort();
        } else if (node.nodeName() == u"CVER") {
            version = node.toElement().text();
        } else if (node.nodeName() == u"CONTACTS_LISTS") {
            for (QDomNode list = FirstElementFrom(node.firstChild()); ok && !list.isNull();
                 list = NextElement(list)) {
                TContactData data;
                data.Kind = TContactData::KindList;
                data.NickName = QStringLiteral("list");
                data.ImageIndex = TContactData::ListImage;
                data.ID = MaxTopLevelID(tree);
                for (QDomNode part = list.firstChild(); !part.isNull(); part = part.nextSibling()) {
                    const QString text = part.toElement().text();
                    if (part.nodeName() == u"COUNT") {
                        data.Count = text.toInt(&ok);
                        if (!ok) {
                            Fail(QStringLiteral(
                                     "The previous phone book %1 could not be read: the COUNT \"%2\" of "
                                     "a list is not a number")
                                     .arg(file, text));
                            break;
                        }
                    } else if (part.nodeName() == u"LID") {
                        bool isNumber = false;
                        data.ID = text.toInt(&isNumber);
                        if (!isNumber)
                            data.ID = -1;
                    } else if (part.nodeName() == u"NICK_NAME") {
                        data.NickName = text;
                    }
                }
                if (!ok)
                    break;
                TContactNode* added = tree.AddNode(nullptr, data);
                ok = ReadListXml(tree, added, data.NickName);
            }
        }
    }
    tree.EndUpdate();
    if (!ok)
        return false;
    // Only a file that was read whole is rewritten.
    if (version != GetProgramVersion())
        return WritePreviousPhoneBook(file, tree);
    return true;
}

bool TPreviousPhoneBook::ReadListXml(TContactsTree& tree, TContactNode* list, const QString& name)
{
    // A list's file lies beside the phone book; a name that points elsewhere reads nothing.
    if (name.contains(u'/') || name.contains(u'\\') || name.contains(QStringLiteral("..")))
        return true;
    const QString file = ListXmlPath(name);
    if (!QFileInfo::exists(file))
        return true;
    QDomDocument document;
    QString error;
    if (!LoadXml(file, document, &error))
        return Fail(QStringLiteral("The list \"%1\" of the previous phone book could not be read: %2")
                        .arg(name, error));
    for (QDomNode node = FirstSection(document); !node.isNull(); node = NextElement(node))
        if (IsContactsSection(node))
            for (QDomNode contact = FirstElementFrom(node.firstChild()); !contact.isNull();
                 contact = NextElement(contact))
                ReadContact(tree, list, contact);
    return true;
}

bool TPreviousPhoneBook::WritePreviousPhoneBook(const QString& fileName, TContactsTree& tree)
{
    QDomDocument document;
    document.appendChild(document.createProcessingInstruction(
        QStringLiteral("xml"), QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")));
    QDomElement main = document.createElement(QStringLiteral("MAIN_CONTACTS"));
    document.appendChild(main);
    QDomElement singles = document.createElement(QStringLiteral("CONTACTS_SINGLES"));
    QDomElement lists = document.createElement(QStringLiteral("CONTACTS_LISTS"));
    QDomElement cver = document.createElement(QStringLiteral("CVER"));
    cver.appendChild(document.createTextNode(GetProgramVersion()));
    main.appendChild(singles);
    main.appendChild(lists);
    main.appendChild(cver);

    const auto add = [&](QDomElement& parent, const char* name, const QString& text) {
        QDomElement e = document.createElement(QString::fromLatin1(name));
        e.appendChild(document.createTextNode(text));
        parent.appendChild(e);
    };
    qint32 next = MaxTopLevelID(tree) + 1;
    for (int r = 0; r < tree.TopLevelCount(); ++r) {
        TContactNode* node = tree.TopLevel(r);
        if (node->ID() == -1)
            node->SetID(next++);
        const TContactData d = node->Data();
        if (d.Kind == TContactData::KindContact) {
            QDomElement contact = document.createElement(QStringLiteral("CONTACT"));
            add(contact, "ID", QString::number(d.ID));
            add(contact, "FIRST_NAME", d.FirstName);
            add(contact, "LAST_NAME", d.LastName);
            add(contact, "NICK_NAME", d.NickName);
            add(contact, "PHONE_NUMBER", d.Number);
            add(contact, "TYPE", PhoneTypeText(d.PhoneType));
            singles.appendChild(contact);
        } else if (d.Kind == TContactData::KindList) {
            QDomElement list = document.createElement(QStringLiteral("CONTACTS_LIST"));
            add(list, "NICK_NAME", d.NickName);
            add(list, "LID", QString::number(d.ID));
            add(list, "COUNT", QString::number(d.Count));
            lists.appendChild(list);
        }
    }

    QSaveFile file(SingleBackslashes(fileName));
    if (!file.open(QIODevice::WriteOnly))
        return Fail(QStringLiteral("%1 cannot be written: %2").arg(file.fileName(), file.errorString()));
    file.write(document.toByteArray(2));
    if (!file.commit())
        return Fail(QStringLiteral("%1 cannot be written: %2").arg(file.fileName(), file.errorString()));
    return true;
}
