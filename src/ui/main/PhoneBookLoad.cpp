#include "ui/main/PhoneBookLoad.h"

#include "phonebook/ContactsTree.h"
#include "phonebook/PhoneBook.h"
#include "phonebook/PhoneBookServices.h"
#include "phonebook/RemotePhoneBook.h"

#include <QThread>

// Everything the worker touches: its own phone-book object and tree; the window's tree is
// never touched off the window's thread.
struct TPhoneBookLoad::TWork
{
    TWork(TRequest r, const TPhoneBook& local)
        : request(std::move(r)), book(local.CurrentFile(), local.LegacyFile())
    {
    }

    TRequest request;
    TPhoneBook book;
    TContactsTree tree;
    TPhoneBookLoadOutcome outcome;
    std::optional<TQuickSearchIndex> index;

    // An unreadable phone book was kept aside (the next load finds a new, empty one).
    void NoteKeptAside()
    {
        if (book.QuarantinedFile().isEmpty())
            return;
        outcome.QuarantinedFile = book.QuarantinedFile();
        outcome.Problem = book.LastError();
    }

    void Run()
    {
        bool loaded = false;
        if (request.Upgrade) {
            const int version = book.GetPhoneBookVersion();
            loaded = book.UpgradePhoneBook(version, tree, request.ContactsFile);
            NoteKeptAside();
            if (!loaded && version == -1) {
                // The previous XML phone book could not be read: it stays where it is, and the
                // program starts with an empty phone book of its own.
                outcome.PreviousBookUnreadable = true;
                outcome.Problem = book.LastError();
                tree.Clear();
            }
        }
        if (request.Remote)
            return; // the tree comes from the remote phone book
        if (!loaded && !book.LoadPhoneBook(tree)) {
            outcome.Complete = false;
            if (outcome.Problem.isEmpty())
                outcome.Problem = book.LastError();
        }
        NoteKeptAside();
        index = TQuickSearchIndex::Build(tree);
    }
};

TPhoneBookLoad::TPhoneBookLoad(TPhoneBookServices& services, QObject* parent)
    : QObject(parent), m_services(services)
{
}

TPhoneBookLoad::~TPhoneBookLoad()
{
    for (QThread* thread : {m_worker, m_disposer}) {
        if (thread) {
            thread->wait();
            delete thread;
        }
    }
    if (m_remoteLoading && m_services.Remote)
        m_services.Remote->CancelLoad();
}

void TPhoneBookLoad::Start(const TRequest& request)
{
    if (m_worker) {
        m_pending = request; // the running one's result is dropped when it ends
        return;
    }
    if (m_remoteLoading && m_services.Remote)
        m_services.Remote->CancelLoad();
    m_remoteLoading = false;
    emit started();
    StartWorker(request);
}

void TPhoneBookLoad::StartWorker(const TRequest& request)
{
    m_work = std::make_shared<TWork>(request, m_services.Local);
    std::shared_ptr<TWork> work = m_work;
    m_worker = QThread::create([work] { work->Run(); });
    m_worker->setObjectName(QStringLiteral("PhoneBookLoad"));
    connect(m_worker, &QThread::finished, this, &TPhoneBookLoad::WorkerDone);
    m_worker->start();
}

void TPhoneBookLoad::WorkerDone()
{
    m_worker->wait();
    delete m_worker;
    m_worker = nullptr;
    std::shared_ptr<TWork> work = std::move(m_work);
    if (m_pending) {
        const TRequest next = *m_pending;
        m_pending.reset();
        Dispose(std::move(work));
        StartWorker(next);
        return;
    }
    if (work->request.Remote && m_services.Remote) {
        StartRemote(work->outcome);
        return;
    }
    m_services.Tree.SwapContent(work->tree);
    m_index = std::move(work->index);
    const TPhoneBookLoadOutcome outcome = work->outcome;
    Dispose(std::move(work));
    emit finished(outcome);
}

void TPhoneBookLoad::Dispose(std::shared_ptr<TWork> work)
{
    if (m_disposer) {
        m_disposer->wait();
        delete m_disposer;
    }
    m_disposer = QThread::create([work = std::move(work)]() mutable { work.reset(); });
    m_disposer->setObjectName(QStringLiteral("PhoneBookDispose"));
    m_disposer->start();
}

void TPhoneBookLoad::StartRemote(TPhoneBookLoadOutcome localPart)
{
    m_localPart = std::move(localPart);
    m_localPart.Remote = true;
    m_remoteLoading = true;
    TDM_TarvoPhoneBook* remote = m_services.Remote;
    connect(remote, &TDM_TarvoPhoneBook::phoneBookLoadProgress, this, &TPhoneBookLoad::progress,
            Qt::UniqueConnection);
    connect(
        remote, &TDM_TarvoPhoneBook::phoneBookLoaded, this,
        [this](bool complete, const QString& problem) {
            if (!m_remoteLoading)
                return;
            m_remoteLoading = false;
            TPhoneBookLoadOutcome outcome = m_localPart;
            outcome.Complete = complete;
            if (!complete)
                outcome.Problem = problem;
            emit finished(outcome);
        },
        Qt::SingleShotConnection);
    remote->LoadRemotePhoneBook(m_services.Tree);
}

std::optional<TQuickSearchIndex> TPhoneBookLoad::TakeIndex()
{
    std::optional<TQuickSearchIndex> index = std::move(m_index);
    m_index.reset();
    return index;
}
