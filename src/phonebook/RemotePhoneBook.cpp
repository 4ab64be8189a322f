#include "phonebook/RemotePhoneBook.h"

#include "phonebook/ContactsTree.h"
#include "phonebook/PhoneBook.h"
#include "platform/SystemFacts.h"

#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {

// The system's proxy settings for this manager only, leaving the application's proxy alone.
class SystemProxyFactory : public QNetworkProxyFactory
{
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override
    {
        return systemProxyForQuery(query);
    }
};

} // namespace

struct TDM_TarvoPhoneBook::Outcome
{
    bool ok = false;
    QString problem; // why the call failed: the fault string, the HTTP status, the network error, ...
    std::optional<QString> text;
};

struct TDM_TarvoPhoneBook::Call
{
    QString operation;
    TSoapReplyReader::Result kind = TSoapReplyReader::Result::Text;
    std::function<QByteArray()> body; // built when the call goes out, so it sees the state of then
    std::function<void(const TRecordFolder&)> onFolder;
    std::function<void(const TRemoteContact&)> onContact;
    std::function<void(const Outcome&)> done;
    bool partOfLoad = false;

    std::unique_ptr<TSoapReplyReader> reader;
    qint64 received = 0;
    bool aborted = false;   // by this module: unreadable or oversized reply, or a cancelled load
    bool cancelled = false; // nobody waits for the outcome any more
    QString tooLarge;
};

struct TDM_TarvoPhoneBook::LoadState
{
    TContactsTree* tree = nullptr;
    quint64 generation = 0;
    QList<TRecordFolder> folders;
    int next = 0;
    QString problem;
};

TDM_TarvoPhoneBook::TDM_TarvoPhoneBook(const QUrl& endpoint, const TUserLog& login, QObject* parent)
    : QObject(parent), m_endpoint(endpoint), m_login(login), m_network(new QNetworkAccessManager(this))
{
    m_network->setProxyFactory(new SystemProxyFactory); // the manager owns it
}

TDM_TarvoPhoneBook::~TDM_TarvoPhoneBook()
{
    m_queue.clear();
    m_load.reset();
    if (m_reply) {
        disconnect(m_reply, nullptr, this, nullptr);
        m_reply->abort();
    }
}

// ---- records

TContactData TDM_TarvoPhoneBook::TreeContact(const TRemoteContact& c, bool withNickName)
{
    TContactData d;
    d.ID = c.ID;
    d.Kind = TContactData::KindContact;
    if (withNickName)
        d.NickName = c.NICKNAME.value_or(QString());
    d.LastName = c.LAST_NAME.value_or(QString());
    d.FirstName = c.FIRST_NAME.value_or(QString());
    d.Number = c.MOBILE_TELEPHONE.value_or(QString());
    d.ImageIndex = TContactData::ContactImage;
    return d;
}

TContactData TDM_TarvoPhoneBook::ListMember(const TRemoteContact& c)
{
    TContactData d = TreeContact(c, true);
    d.Number = StrippedNumber(d.Number);
    return d;
}

TRemoteContact TDM_TarvoPhoneBook::NewContact(const TContactData& contact, qint32 mainFolderID)
{
    TRemoteContact c;
    c.NICKNAME = contact.NickName;
    c.MOBILE_TELEPHONE = contact.Number;
    c.ID_FOLDERS = QList<qint32>{mainFolderID};
    c.BIRTHDAY = SystemFacts::Now();
    return c;
}

TRemoteContact TDM_TarvoPhoneBook::ChangedContact(const TContactData& contact)
{
    TRemoteContact c;
    c.ID = contact.ID;
    c.NICKNAME = contact.NickName;
    c.MOBILE_TELEPHONE = contact.Number;
    c.FIRST_NAME = contact.FirstName;
    c.LAST_NAME = contact.LastName;
    c.BIRTHDAY = SystemFacts::Now();
    return c;
}

qint32 TDM_TarvoPhoneBook::ContactIdOf(const std::optional<QString>& answer)
{
    if (!answer)
        return -1;
    bool ok = false;
    const qint32 id = answer->trimmed().toInt(&ok, 10);
    return ok ? id : -1;
}

// ---- the call queue

void TDM_TarvoPhoneBook::Enqueue(std::unique_ptr<Call> call)
{
    m_queue.push_back(std::move(call));
    StartNext();
}

void TDM_TarvoPhoneBook::StartNext()
{
    if (m_active || m_queue.empty())
        return;
    m_active = std::move(m_queue.front());
    m_queue.pop_front();
    Call& call = *m_active;
    call.reader = std::make_unique<TSoapReplyReader>(call.operation, call.kind);
    call.reader->OnFolder(call.onFolder);
    call.reader->OnContact(call.onContact);

    QNetworkRequest request(m_endpoint);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("text/xml; charset=utf-8"));
    request.setRawHeader("SOAPAction", '"' + TarvoSoap::SoapAction(call.operation).toUtf8() + '"');
    request.setTransferTimeout(m_timeoutMs);
    // A redirect would turn the POST into a GET; it is reported instead.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    m_reply = m_network->post(request, call.body());
    connect(m_reply, &QNetworkReply::readyRead, this, &TDM_TarvoPhoneBook::OnReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &TDM_TarvoPhoneBook::OnFinished);
}

void TDM_TarvoPhoneBook::AbortActive()
{
    m_active->aborted = true;
    m_reply->abort(); // finishes the reply at once
}

void TDM_TarvoPhoneBook::OnReadyRead()
{
    if (!m_reply || !m_active)
        return;
    const QByteArray chunk = m_reply->readAll();
    m_active->received += chunk.size();
    if (m_active->received > MaxReplyBytes) {
        m_active->tooLarge =
            QStringLiteral("the reply is larger than %1 MiB").arg(MaxReplyBytes / (1024 * 1024));
        AbortActive();
        return;
    }
    // An unreadable reply is not waited for to the end.
    if (m_active->reader->AddData(chunk) == TSoapReplyReader::State::Failed)
        AbortActive();
}

void TDM_TarvoPhoneBook::OnFinished()
{
    QNetworkReply* reply = std::exchange(m_reply, nullptr);
    if (!reply || !m_active)
        return;
    reply->deleteLater();
    if (!m_active->aborted)
        m_active->reader->AddData(reply->readAll());
    std::unique_ptr<Call> call = std::move(m_active);
    TSoapReplyReader& reader = *call->reader;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool networkFailed = reply->error() != QNetworkReply::NoError && status == 0;
    if (!call->aborted && !networkFailed)
        reader.Finish();

    Outcome outcome;
    if (reader.CurrentState() == TSoapReplyReader::State::Done && reader.IsFault()) {
        outcome.problem = reader.FaultString().isEmpty() ? reader.FaultCode() : reader.FaultString();
        if (outcome.problem.isEmpty())
            outcome.problem = QStringLiteral("the service answered with an empty SOAP fault");
    } else if (!call->tooLarge.isEmpty()) {
        outcome.problem = call->tooLarge;
    } else if (reply->error() == QNetworkReply::OperationCanceledError && !call->aborted) {
        outcome.problem =
            QStringLiteral("the phone-book service sent nothing for %1 seconds").arg(m_timeoutMs / 1000.0);
    } else if (networkFailed) {
        outcome.problem = reply->errorString();
    } else if (status != 200) {
        outcome.problem = QStringLiteral("the phone-book service answered HTTP %1 %2 without a SOAP reply")
                              .arg(status)
                              .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
    } else if (reader.CurrentState() != TSoapReplyReader::State::Done) {
        outcome.problem = reply->error() != QNetworkReply::NoError && !call->aborted ? reply->errorString()
                                                                                     : reader.ErrorText();
    } else {
        outcome.ok = true;
        outcome.text = reader.ResultText();
    }
    Complete(*call, outcome);
}

void TDM_TarvoPhoneBook::Complete(const Call& call, const Outcome& outcome)
{
    if (!call.cancelled && call.done)
        call.done(outcome);
    // The next call goes out from the event loop, not from inside this reply's signal.
    QMetaObject::invokeMethod(this, &TDM_TarvoPhoneBook::StartNext, Qt::QueuedConnection);
}

std::unique_ptr<TDM_TarvoPhoneBook::Call>
TDM_TarvoPhoneBook::FolderListCall(std::function<void(const QList<TRecordFolder>&, const QString&)> done)
{
    auto folders = std::make_shared<QList<TRecordFolder>>();
    auto call = std::make_unique<Call>();
    call->operation = QStringLiteral("GetFolderLists");
    call->kind = TSoapReplyReader::Result::Folders;
    call->body = [this] { return TarvoSoap::GetFolderListsRequest(m_login); };
    call->onFolder = [folders](const TRecordFolder& f) { folders->append(f); };
    call->done = [folders, done = std::move(done)](const Outcome& o) {
        done(o.ok ? *folders : QList<TRecordFolder>(), o.problem);
    };
    return call;
}

// ---- loading the tree

void TDM_TarvoPhoneBook::LoadRemotePhoneBook(TContactsTree& tree)
{
    CancelLoad();
    m_load = std::make_unique<LoadState>();
    m_load->tree = &tree;
    m_load->generation = ++m_loadGeneration;
    tree.Clear();
    auto call = FolderListCall(
        [this, generation = m_load->generation](const QList<TRecordFolder>& folders, const QString& problem) {
            if (!m_load || m_load->generation != generation)
                return;
            if (!problem.isEmpty())
                return FinishLoad(problem);
            m_load->folders = folders;
            emit phoneBookLoadProgress(0, int(folders.size()));
            LoadNextFolder();
        });
    call->partOfLoad = true;
    Enqueue(std::move(call));
}

void TDM_TarvoPhoneBook::CancelLoad()
{
    if (!m_load)
        return;
    m_load.reset();
    std::erase_if(m_queue, [](const std::unique_ptr<Call>& c) { return c->partOfLoad; });
    if (m_active && m_active->partOfLoad) {
        m_active->cancelled = true;
        AbortActive();
    }
}

void TDM_TarvoPhoneBook::LoadNextFolder()
{
    LoadState& load = *m_load;
    while (load.next < load.folders.size() && load.folders.at(load.next).Folder_Type == TFolderType::Other)
        ++load.next;
    if (load.next >= load.folders.size())
        return FinishLoad(load.problem);
    const TRecordFolder folder = load.folders.at(load.next++);
    const bool main = folder.Folder_Type == TFolderType::Main;
    if (main)
        m_mainFolderID = folder.FolderID;

    auto contacts = std::make_shared<QList<TContactData>>();
    auto call = std::make_unique<Call>();
    call->operation = QStringLiteral("GetFolderContacts");
    call->kind = TSoapReplyReader::Result::Contacts;
    call->partOfLoad = true;
    call->body = [this, id = folder.FolderID] {
        return TarvoSoap::GetFolderContactsRequest(m_login, id, 0, WholeFolder);
    };
    // Single contacts keep their nick name; list members are shown by first and last name.
    call->onContact = [contacts, main](const TRemoteContact& c) { contacts->append(TreeContact(c, main)); };
    call->done = [this, folder, main, contacts, generation = load.generation](const Outcome& o) {
        if (!m_load || m_load->generation != generation)
            return;
        TContactsTree& tree = *m_load->tree;
        if (!o.ok) {
            contacts->clear();
            if (m_load->problem.isEmpty())
                m_load->problem = QStringLiteral("folder %1 \"%2\": %3")
                                      .arg(folder.FolderID)
                                      .arg(folder.FolderName.value_or(QString()), o.problem);
        }
        tree.BeginUpdate();
        TContactNode* parent = nullptr;
        if (!main) {
            TContactData list;
            list.ID = folder.FolderID;
            list.Kind = TContactData::KindList;
            list.NickName = folder.FolderName.value_or(QString());
            list.ImageIndex = TContactData::ListImage;
            list.Count = int(contacts->size());
            parent = tree.AddNode(nullptr, list);
        }
        for (const TContactData& c : *contacts)
            tree.AddNode(parent, c);
        tree.EndUpdate();
        emit phoneBookLoadProgress(m_load->next, int(m_load->folders.size()));
        LoadNextFolder();
    };
    Enqueue(std::move(call));
}

void TDM_TarvoPhoneBook::FinishLoad(QString problem)
{
    m_load->tree->Sort();
    m_load.reset(); // problem may have been the load's own: it is a copy
    emit phoneBookLoaded(problem.isEmpty(), problem);
}

// ---- list lookups

quint64 TDM_TarvoPhoneBook::LoadRemoteList(const QString& listName)
{
    const quint64 request = NextRequest();
    Enqueue(FolderListCall(
        [this, request, listName](const QList<TRecordFolder>& folders, const QString& problem) {
            if (!problem.isEmpty()) {
                emit listLoaded(request, {}, false, problem);
                return;
            }
            QList<TRecordFolder> named;
            for (const TRecordFolder& f : folders)
                if (f.Folder_Type == TFolderType::Folder && f.FolderName &&
                    f.FolderName->compare(listName, Qt::CaseInsensitive) == 0)
                    named.append(f);
            if (named.isEmpty()) {
                emit listLoaded(request, {}, false, QString());
                return;
            }
            ReadListFolders(request, listName, named, std::make_shared<QList<TContactData>>(), 0);
        }));
    return request;
}

void TDM_TarvoPhoneBook::ReadListFolders(quint64 request, const QString& listName,
                                         const QList<TRecordFolder>& folders,
                                         std::shared_ptr<QList<TContactData>> members, int next)
{
    auto received = std::make_shared<QList<TContactData>>();
    auto call = std::make_unique<Call>();
    call->operation = QStringLiteral("GetFolderContacts");
    call->kind = TSoapReplyReader::Result::Contacts;
    call->body = [this, id = folders.at(next).FolderID] {
        return TarvoSoap::GetFolderContactsRequest(m_login, id, 0, WholeFolder);
    };
    call->onContact = [received](const TRemoteContact& c) { received->append(ListMember(c)); };
    call->done = [this, request, listName, folders, members, next, received](const Outcome& o) {
        if (!o.ok) {
            emit listLoaded(request, *members, true, o.problem);
            return;
        }
        members->append(*received);
        if (next + 1 < folders.size())
            ReadListFolders(request, listName, folders, members, next + 1);
        else
            emit listLoaded(request, *members, true, QString());
    };
    // The next folder of the same list goes ahead of calls made meanwhile.
    m_queue.push_front(std::move(call));
    StartNext();
}

quint64 TDM_TarvoPhoneBook::ReadFolders()
{
    const quint64 request = NextRequest();
    Enqueue(FolderListCall([this, request](const QList<TRecordFolder>& folders, const QString& problem) {
        emit foldersRead(request, folders, problem);
    }));
    return request;
}

// ---- single-contact edits

quint64 TDM_TarvoPhoneBook::AddRemoteContact(const TContactData& contact)
{
    const quint64 request = NextRequest();
    // The new contact belongs in the main folder; before any load that folder is looked up first,
    // so that it is not sent with folder -1. A failed look-up leaves -1.
    if (m_mainFolderID < 0)
        Enqueue(FolderListCall([this](const QList<TRecordFolder>& folders, const QString&) {
            for (const TRecordFolder& f : folders)
                if (f.Folder_Type == TFolderType::Main)
                    m_mainFolderID = f.FolderID;
        }));
    auto call = std::make_unique<Call>();
    call->operation = QStringLiteral("AddNewContact");
    call->body = [this, contact] {
        return TarvoSoap::AddNewContactRequest(m_login, NewContact(contact, m_mainFolderID));
    };
    call->done = [this, request](const Outcome& o) {
        if (o.ok)
            emit contactAdded(request, ContactIdOf(o.text), o.text.value_or(QString()));
        else
            emit editFailed(request, o.problem);
    };
    Enqueue(std::move(call));
    return request;
}

quint64 TDM_TarvoPhoneBook::UpdateRemoteContact(const TContactData& contact)
{
    const quint64 request = NextRequest();
    auto call = std::make_unique<Call>();
    call->operation = QStringLiteral("UpdateContactDetails");
    // The Contact the service answers is not used, so it is not read either.
    call->body = [this, contact] {
        return TarvoSoap::UpdateContactDetailsRequest(m_login, ChangedContact(contact));
    };
    call->done = [this, request](const Outcome& o) {
        if (o.ok)
            emit contactUpdated(request);
        else
            emit editFailed(request, o.problem);
    };
    Enqueue(std::move(call));
    return request;
}

quint64 TDM_TarvoPhoneBook::DeleteRemoteContact(qint32 id)
{
    const quint64 request = NextRequest();
    auto call = std::make_unique<Call>();
    call->operation = QStringLiteral("DeleteContact");
    call->body = [this, id] { return TarvoSoap::DeleteContactRequest(m_login, id); };
    call->done = [this, request, id](const Outcome& o) {
        if (o.ok)
            emit contactDeleted(request, id, o.text.value_or(QString()) == QStringLiteral("+OK"),
                                o.text.value_or(QString()));
        else
            emit editFailed(request, o.problem);
    };
    Enqueue(std::move(call));
    return request;
}
