#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QXmlStreamReader>
#include <functional>
#include <optional>

// The messages of the provider's phone-book web service (SOAP 1.1, document/literal; the
// service's WSDL is src/phonebook/remote/TarvoPhoneBook.wsdl): request envelopes, and a
// reader that takes the replies apart as their bytes arrive.
namespace TarvoSoap {
// The service's namespace; every element of a request and of a reply belongs to it.
QString Namespace();
QString EnvelopeNamespace();
// The SOAPAction of an operation: the namespace followed directly by the operation name.
QString SoapAction(const QString& operation);
} // namespace TarvoSoap

// The caller's identity, the first parameter of every operation. Unset elements are left out.
struct TUserLog
{
    std::optional<QString> UserID;
    std::optional<QString> Password;
    std::optional<QString> Domain;

    // The identity the program sends: the account's user name and password, domain "tarvotelecom".
    static TUserLog ForAccount(const QString& userName, const QString& password);
};

enum class TFolderType
{
    Folder = 0,
    Main = 1,
    Mobile = 2,
    Other = -1
};

struct TRecordFolder
{
    qint32 FolderID = 0;
    std::optional<QString> FolderName;
    qint32 ContactsCount = 0;
    TFolderType Folder_Type = TFolderType::Other;
};

// The service's Contact. Optional texts are written only when set.
struct TRemoteContact
{
    qint32 ID = 0;
    std::optional<QString> LAST_NAME, FIRST_NAME, NICKNAME, MOBILE_TELEPHONE, BUSINESS_TELEPHONE,
        HOME_TELEPHONE;
    qint32 SEX = 0; // 0 st_Male, 1 st_Female
    QDateTime BIRTHDAY;
    std::optional<QString> EMAIL, MSN, ICQ, SKYPE, FAX, DESCRIPTION, FIELD_1, FIELD_2, FIELD_3, FIELD_4,
        FIELD_5;
    std::optional<QList<qint32>> ID_FOLDERS;
    qint32 Page = 0;
    qint32 MaxPage = 0;
};

// Request envelopes of the operations the program calls.
namespace TarvoSoap {
QByteArray GetFolderListsRequest(const TUserLog& login);
QByteArray GetFolderContactsRequest(const TUserLog& login, qint32 folderID, qint32 page, qint32 pageSize);
QByteArray AddNewContactRequest(const TUserLog& login, const TRemoteContact& contact);
QByteArray UpdateContactDetailsRequest(const TUserLog& login, const TRemoteContact& contact);
QByteArray DeleteContactRequest(const TUserLog& login, qint32 contactID);
} // namespace TarvoSoap

// Reads one reply envelope incrementally: feed it the bytes as they arrive. Elements are
// matched by namespace and local name, whatever their prefixes. The result of the operation is
// <OperationResponse><OperationResult>; folders and contacts are handed to the handlers one by
// one, so a large reply is never held twice. A document type declaration (which SOAP forbids,
// and which entity bombs need) fails the reply.
class TSoapReplyReader
{
public:
    enum class Result
    {
        Text,
        Folders,
        Contacts,
        Contact
    };
    enum class State
    {
        Reading,
        Done,
        Failed
    };

    TSoapReplyReader(const QString& operation, Result kind);
    ~TSoapReplyReader();
    TSoapReplyReader(const TSoapReplyReader&) = delete;
    TSoapReplyReader& operator=(const TSoapReplyReader&) = delete;

    void OnFolder(std::function<void(const TRecordFolder&)> handler) { m_onFolder = std::move(handler); }
    void OnContact(std::function<void(const TRemoteContact&)> handler) { m_onContact = std::move(handler); }

    State AddData(const QByteArray& bytes);
    // No more bytes will come: an envelope still open fails the reply.
    State Finish();

    State CurrentState() const { return m_state; }
    bool IsFault() const { return m_fault; }
    const QString& FaultCode() const { return m_faultCode; }
    const QString& FaultString() const { return m_faultString; }
    // Why the reply failed (empty while reading and after success).
    const QString& ErrorText() const { return m_error; }
    // The text result; nullopt when the reply left it out.
    const std::optional<QString>& ResultText() const { return m_resultText; }

private:
    enum class Role : quint8;
    void Parse();
    void Start();
    void End();
    void Fail(const QString& why);
    Role ChildRole(Role parent) const;
    bool IsService(QStringView ns) const;
    bool IsNil() const;
    bool Assign(Role role, int field, bool nil, const QString& text);

    struct Frame
    {
        Role role;
        int field; // the element's place in its field table, -1 when it is not a field
        bool nil;
    };

    QXmlStreamReader m_xml;
    QByteArray m_unparsed; // what came after the last '>' handed to the parser
    QString m_operation;
    QString m_responseName;
    QString m_resultName;
    Result m_kind;
    State m_state = State::Reading;
    QList<Frame> m_frames; // the open elements
    QString m_text;
    bool m_fault = false;
    QString m_faultCode;
    QString m_faultString;
    QString m_error;
    std::optional<QString> m_resultText;
    bool m_sawResponse = false;
    TRecordFolder m_folder;
    bool m_folderHasID = false;
    bool m_folderHasType = false;
    TRemoteContact m_contact;
    bool m_contactHasID = false;
    std::function<void(const TRecordFolder&)> m_onFolder;
    std::function<void(const TRemoteContact&)> m_onContact;
};
