#pragma once

#include "ui/main/QuickSearchIndex.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class QThread;
struct TPhoneBookServices;

// What a load of the contacts tree brought.
struct TPhoneBookLoadOutcome
{
    bool Remote = false;
    bool Complete = true;
    QString Problem;                     // why it is not complete (the phone book's own words)
    QString QuarantinedFile;             // an unreadable phone book was kept aside under this name
    bool PreviousBookUnreadable = false; // the previous version's XML phone book could not be read
};

// Fills the contacts tree without holding up the window. The local phone book (with the start's
// version check and upgrade) is read on a worker thread into a tree of its own, which then takes
// the place of the shown tree's content in one step, together with its quick-search index; the
// remote phone book fills the tree as its answers arrive. One load at a time: a load asked for
// while one runs follows it, and the earlier result is dropped.
class TPhoneBookLoad : public QObject
{
    Q_OBJECT

public:
    struct TRequest
    {
        bool Upgrade = false; // first the version check and upgrade of the local file
        QString ContactsFile; // the previous version's XML phone book, for the upgrade
        bool Remote = false;  // then the tree from the remote phone book ("UsePGOnline")
    };

    TPhoneBookLoad(TPhoneBookServices& services, QObject* parent = nullptr);
    ~TPhoneBookLoad() override; // waits for a worker still reading

    void Start(const TRequest& request);
    bool IsLoading() const { return m_worker != nullptr || m_remoteLoading || m_pending.has_value(); }
    // The index built with the last local load, for the tree as it came; taken once.
    std::optional<TQuickSearchIndex> TakeIndex();

signals:
    void started();
    // The remote phone book's folders read so far, of total.
    void progress(int done, int total);
    void finished(const TPhoneBookLoadOutcome& outcome);

private:
    struct TWork;
    void StartWorker(const TRequest& request);
    void WorkerDone();
    void StartRemote(TPhoneBookLoadOutcome localPart);
    // The tree's former content is freed on a thread of its own: a large phone book takes a
    // moment to free.
    void Dispose(std::shared_ptr<TWork> work);

    TPhoneBookServices& m_services;
    QThread* m_worker = nullptr;
    QThread* m_disposer = nullptr;
    std::shared_ptr<TWork> m_work;
    std::optional<TRequest> m_pending;
    std::optional<TQuickSearchIndex> m_index;
    bool m_remoteLoading = false;
    TPhoneBookLoadOutcome m_localPart;
};
