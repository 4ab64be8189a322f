#include "ui/main/PhoneBookEdits.h"

#include "i18n/Language.h"
#include "phonebook/ContactsModel.h"
#include "phonebook/PhoneBook.h"
#include "phonebook/PhoneBookServices.h"
#include "phonebook/PreviousPhoneBook.h"
#include "phonebook/RemotePhoneBook.h"
#include "settings/SettingsHolder.h"
#include "ui/dialogs/MessageDialog.h"
#include "ui/main/PreviousBookPath.h"

#include <QFile>
#include <QFileInfo>

TPhoneBookEdits::TPhoneBookEdits(TPhoneBookServices& services, TContactsModel& model,
                                 TSettingsHolder& settings, QWidget* owner, QObject* parent)
    : QObject(parent), m_services(services), m_model(model), m_settings(settings), m_owner(owner),
      m_language(QStringLiteral("ITA"))
{
    // A node that goes takes its unanswered requests with it; a reload drops them all.
    connect(&m_model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [this](const QModelIndex& parent, int first, int last) {
                const TContactNode* owner = m_model.NodeOf(parent);
                for (int r = first; r <= last; ++r) {
                    const TContactNode* node = owner->Child(r);
                    ForgetNode(node);
                    emit nodeGoing(node);
                    for (int c = 0; c < node->ChildCount(); ++c) {
                        ForgetNode(node->Child(c));
                        emit nodeGoing(node->Child(c));
                    }
                }
            });
    connect(&m_model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        m_pendingAdds.clear();
        m_pendingDeletes.clear();
        emit nodeGoing(nullptr);
    });
}

TDM_TarvoPhoneBook& TPhoneBookEdits::Remote()
{
    TDM_TarvoPhoneBook* remote = m_services.Remote;
    connect(remote, &TDM_TarvoPhoneBook::contactAdded, this, &TPhoneBookEdits::ContactAdded,
            Qt::UniqueConnection);
    connect(remote, &TDM_TarvoPhoneBook::contactDeleted, this, &TPhoneBookEdits::ContactDeleted,
            Qt::UniqueConnection);
    connect(remote, &TDM_TarvoPhoneBook::editFailed, this, &TPhoneBookEdits::EditFailed,
            Qt::UniqueConnection);
    return *remote;
}

void TPhoneBookEdits::ContactAdded(quint64 request, qint32 id, const QString&)
{
    if (TContactNode* node = m_pendingAdds.take(request))
        node->SetID(id);
}

void TPhoneBookEdits::ContactDeleted(quint64 request, qint32, bool deleted, const QString& answer)
{
    TContactNode* node = m_pendingDeletes.take(request);
    if (!deleted)
        ShowError(answer);
    else if (node)
        RemoveFromTree(node);
}

void TPhoneBookEdits::EditFailed(quint64 request, const QString& message)
{
    m_pendingDeletes.remove(request);
    TContactNode* added = m_pendingAdds.take(request);
    ShowError(message);
    if (added) // a contact the service did not take is not kept
        RemoveFromTree(added);
}

void TPhoneBookEdits::ApplyLanguage(const QString& code)
{
    if (LanguageGroupOf(code) != LanguageGroup::None)
        m_language = code;
}

void TPhoneBookEdits::SetLoading(bool loading)
{
    if (loading == m_loading)
        return;
    m_loading = loading;
    emit loadingChanged(loading);
}

bool TPhoneBookEdits::UsesRemote() const
{
    return m_services.Remote && m_settings.GetUsePGOnline();
}

bool TPhoneBookEdits::CanChange(const TContactNode* node) const
{
    return !m_loading && node && !node->IsList();
}

bool TPhoneBookEdits::CanDelete(const TContactNode* node) const
{
    if (m_loading || !node)
        return false;
    // The remote phone book deletes single contacts; its lists are kept by the service.
    return !UsesRemote() || (!node->IsList() && node->Parent()->IsRoot());
}

void TPhoneBookEdits::ForgetNode(const TContactNode* node)
{
    for (auto* pending : {&m_pendingAdds, &m_pendingDeletes})
        pending->removeIf([node](const auto& entry) { return entry.value() == node; });
}

void TPhoneBookEdits::ShowError(const QString& message)
{
    TF_Message box(m_owner, TF_Message::ButtonsOk, m_language);
    box.ShowText(QStringLiteral("Brelmont"), message);
}

TContactNode* TPhoneBookEdits::AddContact(const QString& name, const QString& number)
{
    TContactData record;
    record.ID = UsesRemote() ? -1 : m_services.Local.NextContactID();
    record.Kind = TContactData::KindContact;
    record.NickName = name.trimmed().isEmpty() ? DefaultName() : name;
    record.Number = number;
    record.PhoneType = TContactData::Mobile;
    record.ImageIndex = TContactData::ContactImage;
    TContactNode* node = m_services.Tree.AddNode(nullptr, record);
    m_services.Tree.Sort();
    StoreNew(node);
    emit edited();
    return node;
}

void TPhoneBookEdits::StoreNew(TContactNode* node)
{
    if (UsesRemote()) {
        m_pendingAdds.insert(Remote().AddRemoteContact(node->Data()), node);
        return;
    }
    TContactData record = node->Data();
    if (m_services.Local.InsertContact(nullptr, record))
        node->SetID(record.ID);
    else
        ShowError(m_services.Local.LastError());
}

void TPhoneBookEdits::ChangeContact(TContactNode* node, const QString& name, const QString& number)
{
    if (!CanChange(node))
        return;
    TContactData record = node->Data();
    record.FirstName.clear();
    record.LastName.clear();
    record.NickName = name.trimmed().isEmpty() ? DefaultName() : name;
    record.Number = number;
    record.PhoneType = TContactData::Mobile;
    record.ImageIndex = TContactData::ContactImage;
    record.Kind = TContactData::KindContact;
    m_services.Tree.SetData(node, record);
    m_services.Tree.Sort();
    emit edited();
    if (UsesRemote()) {
        Remote().UpdateRemoteContact(record);
        return;
    }
    const TContactNode* parent = node->Parent();
    const bool stored = parent->IsRoot() ? m_services.Local.UpdateContact(nullptr, record)
                                         : m_services.Local.UpdateListMember(nullptr, parent->Data(), record);
    if (!stored)
        ShowError(m_services.Local.LastError());
}

void TPhoneBookEdits::RemoveFromTree(TContactNode* node)
{
    m_services.Tree.RemoveNode(node);
    emit edited();
}

void TPhoneBookEdits::DeleteNode(TContactNode* node, bool removeListFile)
{
    if (!CanDelete(node))
        return;
    TPhoneBook& book = m_services.Local;
    TContactNode* parent = node->Parent();
    const TContactData record = node->Data();
    bool stored = true;
    if (!parent->IsRoot()) {
        TContactData list = parent->Data();
        if (parent->ChildCount() == 1) { // the only member: the list goes with it
            stored = book.DeleteList(nullptr, list);
            node = parent;
        } else {
            stored = book.DeleteListMember(nullptr, list, record);
            list.Count = parent->ChildCount() - 1;
            m_services.Tree.SetData(parent, list);
        }
    } else if (record.IsList()) {
        stored = book.DeleteList(nullptr, record);
        const QString contactsFile = PreviousBookPath(m_settings.GetContactsFile());
        // Only where the previous version's phone book still lives: nothing else is removed.
        if (removeListFile && QFileInfo::exists(contactsFile)) {
            const QString listFile = TPreviousPhoneBook(contactsFile).ListXmlPath(record.NickName);
            if (QFileInfo::exists(listFile))
                QFile::remove(listFile);
        }
    } else if (UsesRemote()) {
        m_pendingDeletes.insert(Remote().DeleteRemoteContact(record.ID), node);
        return; // the node goes when the service confirms
    } else {
        stored = book.DeleteContact(nullptr, record);
    }
    RemoveFromTree(node);
    if (!stored)
        ShowError(book.LastError());
}
