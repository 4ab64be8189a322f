#pragma once

#include "phonebook/ContactData.h"
#include "phonebook/TarvoSoap.h"

#include <QList>
#include <QObject>
#include <QUrl>
#include <deque>
#include <functional>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class TContactsTree;

// The provider's phone book on its servers, for when "UsePGOnline" is on: the contacts tree,
// single-contact edits and list lookups go to the service instead of the local database.
//
// Every operation returns at once; its outcome comes later as a signal. Calls go out one at a
// time in the order they were made, so outcomes arrive in that order too, each call with the
// same time-out (no byte for that long ends it). The loading operations keep what they read
// before a failure; the editing operations report a failure with editFailed, whose message is
// what the application's error box shows.
class TDM_TarvoPhoneBook : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultTimeoutMs = 30000;
    static constexpr qint64 MaxReplyBytes = 256LL * 1024 * 1024;
    static constexpr qint32 WholeFolder = 2147483647; // the page size that reads a folder at once

    // login is fixed for the module's life: a changed account reaches the service after a restart.
    TDM_TarvoPhoneBook(const QUrl& endpoint, const TUserLog& login, QObject* parent = nullptr);
    ~TDM_TarvoPhoneBook() override;

    const TUserLog& Login() const { return m_login; }
    const QUrl& Endpoint() const { return m_endpoint; }
    void SetTimeout(int ms) { m_timeoutMs = ms; }
    int Timeout() const { return m_timeoutMs; }
    // The FolderID of the main folder, -1 until a load or an add has met it.
    qint32 MainFolderID() const { return m_mainFolderID; }
    bool IsLoading() const { return m_load != nullptr; }

    // Clears the tree and fills it folder by folder: single contacts from the main folder, a
    // list node with its members for every other list folder; sorted at the end. The tree must
    // stay alive until phoneBookLoaded, or CancelLoad be called. A new load replaces a running one.
    void LoadRemotePhoneBook(TContactsTree& tree);
    void CancelLoad();

    // The members of the list folders named listName (letter case aside, ft_Folder only), their
    // numbers without blanks, "-" and "/": the list manager's member view, the destinations and
    // the clipboard. Answers the request number that listLoaded carries.
    quint64 LoadRemoteList(const QString& listName);
    // Every folder of the phone book, as the service lists them.
    quint64 ReadFolders();

    // The new contact's ID comes with contactAdded (-1 when the service answered no number).
    quint64 AddRemoteContact(const TContactData& contact);
    quint64 UpdateRemoteContact(const TContactData& contact);
    // contactDeleted says whether the service answered "+OK".
    quint64 DeleteRemoteContact(qint32 id);

    // The records the service's contacts become.
    static TContactData TreeContact(const TRemoteContact& contact, bool withNickName);
    static TContactData ListMember(const TRemoteContact& contact);
    static TRemoteContact NewContact(const TContactData& contact, qint32 mainFolderID);
    static TRemoteContact ChangedContact(const TContactData& contact);
    // The decimal ID in AddNewContact's answer; -1 for any other text.
    static qint32 ContactIdOf(const std::optional<QString>& answer);

signals:
    void phoneBookLoadProgress(int foldersRead, int folders);
    // complete is false when a call failed; problem then says which and why (the tree keeps
    // what was read before).
    void phoneBookLoaded(bool complete, const QString& problem);
    // found is false when no ft_Folder folder has that name.
    void listLoaded(quint64 request, const QList<TContactData>& members, bool found, const QString& problem);
    void foldersRead(quint64 request, const QList<TRecordFolder>& folders, const QString& problem);
    void contactAdded(quint64 request, qint32 id, const QString& answer);
    void contactUpdated(quint64 request);
    void contactDeleted(quint64 request, qint32 id, bool deleted, const QString& answer);
    void editFailed(quint64 request, const QString& message);

private:
    struct Call;
    struct Outcome;
    struct LoadState;

    quint64 NextRequest() { return ++m_lastRequest; }
    void Enqueue(std::unique_ptr<Call> call);
    void StartNext();
    void OnReadyRead();
    void OnFinished();
    void Complete(const Call& call, const Outcome& outcome);
    void AbortActive();
    // GetFolderLists as a call of its own; done runs with the folders and the failure, if any.
    std::unique_ptr<Call>
    FolderListCall(std::function<void(const QList<TRecordFolder>&, const QString&)> done);
    void LoadNextFolder();
    void FinishLoad(QString problem);
    void ReadListFolders(quint64 request, const QString& listName, const QList<TRecordFolder>& folders,
                         std::shared_ptr<QList<TContactData>> members, int next);

    QUrl m_endpoint;
    TUserLog m_login;
    int m_timeoutMs = DefaultTimeoutMs;
    qint32 m_mainFolderID = -1;
    quint64 m_lastRequest = 0;
    QNetworkAccessManager* m_network = nullptr;
    std::deque<std::unique_ptr<Call>> m_queue;
    std::unique_ptr<Call> m_active;
    QNetworkReply* m_reply = nullptr;
    std::unique_ptr<LoadState> m_load;
    quint64 m_loadGeneration = 0;
};
