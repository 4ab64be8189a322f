#include "ui/dialogs/DialogSupport.h"
#include "ui/main/RecipientsPanel.h"

#include "compose/ComposeTexts.h"
#include "i18n/Language.h"
#include "phonebook/ContactsModel.h"
#include "phonebook/PhoneBook.h"
#include "phonebook/PhoneBookServices.h"
#include "phonebook/RemotePhoneBook.h"
#include "settings/SettingsHolder.h"
#include "ui/main/PhoneBookEdits.h"
#include "ui/main/PhoneBookPictures.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QVBoxLayout>
#include <algorithm>
#include <map>
#include <tuple>
#include <utility>

namespace {
QString WithoutBlanks(QString number)
{
    number.removeIf([](QChar c) { return c.isSpace(); });
    return number;
}

// The name part of a contact's caption: the nick name, else first and last name, each
// followed by a blank; a long one is cut to 25 characters and "... ".
QString NamePart(const TContactData& d)
{
    QString part;
    if (!d.NickName.trimmed().isEmpty()) {
        part = d.NickName.trimmed() + u' ';
    } else {
        if (!d.FirstName.trimmed().isEmpty())
            part += d.FirstName.trimmed() + u' ';
        if (!d.LastName.trimmed().isEmpty())
            part += d.LastName.trimmed() + u' ';
    }
    if (part.size() > TRecipientsPanel::NamePartMaxLength)
        part = part.left(TRecipientsPanel::NamePartMaxLength) + QStringLiteral("... ");
    return part;
}

// A contact found again after a reload: same names and number.
using ContactKey = std::tuple<QString, QString, QString, QString>;
ContactKey KeyOf(const TContactData& d)
{
    return {d.NickName, d.FirstName, d.LastName, d.Number};
}

class TKeyFilter : public QObject
{
public:
    TKeyFilter(QAction* remove, QAction* copy, QObject* parent)
        : QObject(parent), m_remove(remove), m_copy(copy)
    {
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete) {
            m_remove->trigger();
            return true;
        }
        if (key->matches(QKeySequence::Copy)) {
            m_copy->trigger();
            return true;
        }
        return false;
    }

private:
    QAction* m_remove;
    QAction* m_copy;
};
} // namespace

TRecipientsPanel::TRecipientsPanel(TPhoneBookServices& services, TSettingsHolder& settings, QWidget* parent)
    : QFrame(parent), lblDestinatari(new QLabel(this)), lvDestinatari(new QListWidget(this)),
      m_services(services), m_settings(settings)
{
    setObjectName(QStringLiteral("PanelDestinatari"));
    lblDestinatari->setObjectName(QStringLiteral("lblDestinatari"));
    lvDestinatari->setObjectName(QStringLiteral("lvDestinatari"));
    lvDestinatari->setSelectionMode(QAbstractItemView::SingleSelection);
    lvDestinatari->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvDestinatari->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvDestinatari->setIconSize({16, 16});
    lvDestinatari->setUniformItemSizes(true);
    lvDestinatari->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(lblDestinatari);
    layout->addWidget(lvDestinatari, 1);

    auto make = [this](const char* name, auto handler) {
        auto* action = new QAction(this);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    aAnnullaDetinatario = make("aAnnullaDetinatario", [this] { RemoveSelected(); });
    aAnnullaTutti = make("aAnnullaTutti", [this] { Clear(); });
    aCopyToClipboard = make("aCopyToClipboard", [this] { CopyToClipboard(); });
    aAnnullaTutti->setText(QStringLiteral("Annulla tutti"));
    aCopyToClipboard->setText(QStringLiteral("Copia nella clipboard"));
    aCopyToClipboard->setShortcut(QKeySequence::Copy);
    aCopyToClipboard->setShortcutContext(Qt::WidgetShortcut); // shown in the menu; the list takes the keys
    PopDestinations = new QMenu(this);
    PopDestinations->setObjectName(QStringLiteral("PopDestinations"));
    PopDestinations->addActions({aAnnullaDetinatario, aAnnullaTutti, aCopyToClipboard});
    connect(lvDestinatari, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        UpdateActions();
        PopDestinations->popup(lvDestinatari->viewport()->mapToGlobal(at));
    });
    connect(lvDestinatari, &QListWidget::itemSelectionChanged, this, &TRecipientsPanel::UpdateActions);
    lvDestinatari->installEventFilter(new TKeyFilter(aAnnullaDetinatario, aCopyToClipboard, this));

    ApplyLanguage(QStringLiteral("ITA"));
    UpdateActions();
    hide();
}

TRecipientsPanel::~TRecipientsPanel() = default;

TDM_TarvoPhoneBook& TRecipientsPanel::Remote()
{
    connect(m_services.Remote, &TDM_TarvoPhoneBook::listLoaded, this, &TRecipientsPanel::ListLoaded,
            Qt::UniqueConnection);
    return *m_services.Remote;
}

void TRecipientsPanel::ListLoaded(quint64 request, const QList<TContactData>& members, bool, const QString&)
{
    QStringList numbers;
    numbers.reserve(members.size());
    for (const TContactData& m : members)
        numbers.append(m.Number);
    if (request == m_pendingCopy) {
        m_pendingCopy = 0;
        if (!numbers.isEmpty())
            QGuiApplication::clipboard()->setText(numbers.join(QStringLiteral("\r\n")) +
                                                  QStringLiteral("\r\n"));
    }
    const auto list = m_pendingLists.constFind(request);
    if (list == m_pendingLists.cend())
        return; // an answer to a build since replaced
    m_remoteMembers.insert(*list, numbers);
    m_pendingLists.erase(list);
    if (m_pendingLists.isEmpty())
        FinishBuild(m_remoteMembers);
}

void TRecipientsPanel::ApplyLanguage(const QString& code)
{
    if (LanguageGroupOf(code) == LanguageGroup::None)
        return;
    DescribeForScreenReaders(code, lvDestinatari, {"Destinatari", "Recipients", "Destinatários"},
                             {"Chi riceverà il messaggio: Canc toglie il selezionato",
                              "Who will receive the message: Delete removes the selected one",
                              "Quem vai receber a mensagem: Delete retira o selecionado"});
    TComposeTexts texts;
    texts.ApplyLanguage(code);
    m_loadingText = texts.Loading;
    m_selectedText = texts.SelectedContacts;
    ApplyText(code, m_emptyLabel, {" Destinatari", " Destinations:", " Destinatarios"});
    aAnnullaDetinatario->setText(
        *PickText(code, {"&Annulla destinatario", "&Cancel destination", "&Cancelar destinatario"}));
    if (m_items.empty())
        lblDestinatari->setText(m_emptyLabel);
}

void TRecipientsPanel::SetRecipientsLabel(const QString& text)
{
    lblDestinatari->setText(text);
}

bool TRecipientsPanel::UsesRemote() const
{
    return m_services.Remote && m_settings.GetUsePGOnline();
}

void TRecipientsPanel::FollowTree(TContactsModel& model, TPhoneBookEdits& edits)
{
    m_model = &model;
    m_edits = &edits;
    connect(&model, &QAbstractItemModel::rowsAboutToBeRemoved, this, &TRecipientsPanel::NodesGoing);
    connect(&model, &QAbstractItemModel::rowsRemoved, this, [this] {
        if (m_goingRows.empty())
            return;
        RemoveRows(std::exchange(m_goingRows, {}));
        AfterChange();
    });
    // A reload replaces every node: the items keep their copies until they find their nodes again.
    connect(&model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        for (TItem& item : m_items)
            item.node = nullptr;
    });
    connect(&model, &QAbstractItemModel::modelReset, this, [this] {
        if (!m_edits->IsLoading())
            Relink();
    });
    connect(&edits, &TPhoneBookEdits::loadingChanged, this, [this](bool loading) {
        if (!loading)
            Relink();
    });
    connect(&model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                if (topLeft.isValid() && topLeft == bottomRight)
                    NodeChanged(m_model->NodeOf(topLeft));
            });
}

QString TRecipientsPanel::Caption(const TItem& item) const
{
    const TContactData& d = item.record;
    switch (item.kind) {
    case RecipientKind::Contact:
        return NamePart(d) + u'(' + d.Number + u')';
    case RecipientKind::List: {
        const QString name = !d.NickName.trimmed().isEmpty() ? d.NickName : d.FirstName + u' ' + d.LastName;
        return name + QStringLiteral(" (") + QString::number(d.Count) + u')';
    }
    case RecipientKind::Number:
        break;
    }
    return QStringLiteral(" (") + item.number + u')';
}

void TRecipientsPanel::AddItem(TItem item, const QString& caption, int picture)
{
    auto* row = new QListWidgetItem(PhoneBookPictures::Picture(picture), caption);
    row->setToolTip(caption);
    lvDestinatari->addItem(row);
    m_items.push_back(std::move(item));
}

void TRecipientsPanel::AddNodeToRecipients(TContactNode* node)
{
    if (!node)
        return;
    const bool listed =
        std::any_of(m_items.begin(), m_items.end(), [node](const TItem& item) { return item.node == node; });
    if (!listed) {
        TItem item;
        item.record = node->Data();
        item.node = node;
        if (item.record.IsList()) {
            if (item.record.Count <= 0) { // a list without members is not added
                AfterChange();
                emit focusMessageRequested();
                return;
            }
            item.kind = RecipientKind::List;
            AddItem(item, Caption(item), PhoneBookPictures::List);
        } else {
            item.kind = RecipientKind::Contact;
            item.number = WithoutBlanks(item.record.Number);
            AddItem(item, Caption(item), PhoneBookPictures::Recipient);
        }
        lvDestinatari->scrollToItem(lvDestinatari->item(lvDestinatari->count() - 1));
    }
    AfterChange();
    emit focusMessageRequested();
}

void TRecipientsPanel::AddNumbers(const QStringList& numbers)
{
    if (numbers.isEmpty())
        return;
    lvDestinatari->setUpdatesEnabled(false);
    for (const QString& number : numbers) {
        TItem item;
        item.kind = RecipientKind::Number;
        item.number = WithoutBlanks(number);
        AddItem(item, Caption(item), PhoneBookPictures::Recipient);
    }
    lvDestinatari->setUpdatesEnabled(true);
    AfterChange();
}

void TRecipientsPanel::RemoveRows(std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int row : rows) {
        delete lvDestinatari->takeItem(row);
        m_items.erase(m_items.begin() + row);
    }
}

void TRecipientsPanel::RemoveSelected()
{
    const int row = lvDestinatari->currentRow();
    if (row < 0 || lvDestinatari->selectedItems().isEmpty())
        return;
    RemoveRows({row});
    AfterChange();
}

QString TRecipientsPanel::SelectedNumber() const
{
    const int row = lvDestinatari->currentRow();
    if (row < 0 || lvDestinatari->selectedItems().isEmpty())
        return {};
    return m_items.at(size_t(row)).number;
}

void TRecipientsPanel::Clear()
{
    lvDestinatari->clear();
    m_items.clear();
    AfterChange();
}

void TRecipientsPanel::ResizeRecipientsPanel()
{
    const int count = ItemCount();
    if (count == 0) {
        hide();
        return;
    }
    const int line = std::max(lvDestinatari->sizeHintForRow(0), lvDestinatari->fontMetrics().height());
    const int height = count == 1 ? line + 32 : count == 2 ? 2 * line + 42 : 3 * line + 60;
    setFixedHeight(std::max(height, lblDestinatari->sizeHint().height() + std::min(count, 3) * line + 12));
    show();
}

void TRecipientsPanel::AfterChange()
{
    ResizeRecipientsPanel();
    UpdateActions();
    RebuildDestinations();
}

QStringList TRecipientsPanel::ListNumbers(const QString& listName) const
{
    QList<TContactData> members;
    m_services.Local.LoadListIntoMemory(members, listName, false);
    QStringList numbers;
    numbers.reserve(members.size());
    for (const TContactData& m : members)
        numbers.append(m.Number);
    return numbers;
}

void TRecipientsPanel::RebuildDestinations()
{
    m_pendingLists.clear();
    m_remoteMembers.clear();
    QStringList lists;
    for (const TItem& item : m_items)
        if (item.kind == RecipientKind::List && !lists.contains(item.record.NickName))
            lists.append(item.record.NickName);
    if (lists.isEmpty()) {
        FinishBuild({});
        return;
    }
    m_building = true;
    lblDestinatari->setText(m_loadingText);
    if (UsesRemote()) {
        for (const QString& name : lists)
            m_pendingLists.insert(Remote().LoadRemoteList(name), name);
        return; // FinishBuild when the last list has answered
    }
    lblDestinatari->repaint();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QHash<QString, QStringList> members;
    for (const QString& name : lists)
        members.insert(name, ListNumbers(name));
    QApplication::restoreOverrideCursor();
    FinishBuild(members);
}

void TRecipientsPanel::FinishBuild(const QHash<QString, QStringList>& members)
{
    std::vector<TRecipient> recipients;
    recipients.reserve(m_items.size());
    for (const TItem& item : m_items)
        recipients.push_back({item.kind, item.number, item.record.NickName, item.record.Count, item.node});
    m_destinations =
        BuildDestinations(recipients, [&members](const QString& name) { return members.value(name); });
    m_building = false;
    lblDestinatari->setText(m_items.empty() ? m_emptyLabel : m_selectedText);
    emit destinationsChanged(m_destinations);
}

void TRecipientsPanel::CopyToClipboard()
{
    const int row = lvDestinatari->currentRow();
    if (row < 0 || lvDestinatari->selectedItems().isEmpty())
        return;
    const TItem& item = m_items[size_t(row)];
    if (item.kind == RecipientKind::Contact) {
        QGuiApplication::clipboard()->setText(item.number);
    } else if (item.kind == RecipientKind::List) {
        if (UsesRemote()) {
            m_pendingCopy = Remote().LoadRemoteList(item.record.NickName);
            return;
        }
        QList<TContactData> members;
        m_services.Local.LoadListIntoMemory(members, item.record.NickName, true);
        QString text;
        for (const TContactData& m : members)
            text += m.Number + QStringLiteral("\r\n");
        if (!text.isEmpty())
            QGuiApplication::clipboard()->setText(text);
    }
    // A number added by hand copies nothing.
}

void TRecipientsPanel::UpdateActions()
{
    const bool selected = !lvDestinatari->selectedItems().isEmpty();
    aAnnullaDetinatario->setEnabled(selected);
    aCopyToClipboard->setEnabled(selected);
}

void TRecipientsPanel::NodesGoing(const QModelIndex& parent, int first, int last)
{
    const TContactNode* owner = m_model->NodeOf(parent);
    for (int r = first; r <= last; ++r) {
        const TContactNode* node = owner->Child(r);
        for (size_t i = 0; i < m_items.size(); ++i)
            if (m_items[i].node && (m_items[i].node == node || m_items[i].node->Parent() == node))
                m_goingRows.push_back(int(i));
    }
}

void TRecipientsPanel::NodeChanged(const TContactNode* node)
{
    bool numbers = false;
    for (size_t i = 0; i < m_items.size(); ++i) {
        TItem& item = m_items[i];
        if (item.node != node)
            continue;
        item.record = node->Data();
        if (item.kind == RecipientKind::Contact) {
            numbers = numbers || item.number != WithoutBlanks(item.record.Number);
            item.number = WithoutBlanks(item.record.Number);
        }
        lvDestinatari->item(int(i))->setText(Caption(item));
    }
    if (numbers)
        AfterChange();
}

void TRecipientsPanel::Relink()
{
    if (m_items.empty() || !m_model)
        return;
    const TContactNode* root = m_model->NodeOf({});
    QHash<QString, const TContactNode*> lists;
    std::map<ContactKey, const TContactNode*> contacts;
    const auto addContact = [&contacts](const TContactNode* n) { contacts.emplace(KeyOf(n->Data()), n); };
    for (int r = 0; r < root->ChildCount(); ++r) {
        const TContactNode* node = root->Child(r);
        if (!node->IsList()) {
            addContact(node);
            continue;
        }
        lists.insert(node->Data().NickName, node);
        for (int c = 0; c < node->ChildCount(); ++c)
            addContact(node->Child(c));
    }
    std::vector<int> gone;
    for (size_t i = 0; i < m_items.size(); ++i) {
        TItem& item = m_items[i];
        if (item.kind == RecipientKind::List) {
            item.node = lists.value(item.record.NickName);
            if (!item.node) { // a list that is no longer there has no members to send to
                gone.push_back(int(i));
                continue;
            }
            item.record = item.node->Data();
            lvDestinatari->item(int(i))->setText(Caption(item));
        } else if (item.kind == RecipientKind::Contact) {
            const auto found = contacts.find(KeyOf(item.record));
            item.node = found == contacts.end() ? nullptr : found->second;
        }
    }
    if (gone.empty())
        return;
    RemoveRows(gone);
    AfterChange();
}
