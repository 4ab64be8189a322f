#include "ui/main/ContactPanel.h"

#include "compose/ComposeTexts.h"
#include "compose/CountryTable.h"
#include "compose/PhoneNumber.h"
#include "i18n/Language.h"
#include "phonebook/ContactsTree.h"
#include "settings/SettingsHolder.h"
#include "ui/dialogs/CountrySelector.h"
#include "ui/dialogs/MissingPrefixDialog.h"
#include "ui/main/NoticeArea.h"
#include "ui/main/PhoneBookEdits.h"
#include "ui/main/TopPanel.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

struct TContactPanel::TTexts
{
    TComposeTexts Compose;
};

namespace {
// The field carries its own international prefix: it is taken as it is.
bool CarriesOwnPrefix(const QString& field)
{
    const QString t = field.trimmed();
    return t.startsWith(u'+') || t.startsWith(QStringLiteral("00"));
}

// Two buttons side by side in the middle of their row, 6 pixels apart.
QHBoxLayout* CentredPair(QPushButton* left, QPushButton* right)
{
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addStretch(1);
    row->addWidget(left);
    row->addWidget(right);
    row->addStretch(1);
    return row;
}

// The text holds something other than blanks; looks no further than the first such character.
bool HoldsNonBlank(const QTextDocument* document)
{
    const int count = document->characterCount();
    for (int i = 0; i < count; ++i)
        if (document->characterAt(i).unicode() > u' ' &&
            document->characterAt(i) != QChar::ParagraphSeparator)
            return true;
    return false;
}
} // namespace

TContactPanel::TContactPanel(TPhoneBookEdits& edits, TSettingsHolder& settings, TTopPanel& topPanel,
                             QWidget* parent)
    : QFrame(parent), m_edits(edits), m_settings(settings), m_topPanel(topPanel),
      m_texts(std::make_unique<TTexts>())
{
    setObjectName(QStringLiteral("pnContact"));
    setFrameShape(QFrame::StyledPanel);
    auto named = [this](auto* widget, const char* name) {
        widget->setObjectName(QString::fromLatin1(name));
        return widget;
    };
    pnNome = named(new QWidget(this), "pnNome");
    pnNumero = named(new QWidget(this), "pnNumero");
    pnDelete = named(new QWidget(this), "pnDelete");
    pnDestSelection = named(new QWidget(this), "pnDestSelection");
    m_lblNome = named(new QLabel(pnNome), "lblNome");
    Edit_Visualizzato = named(new QLineEdit(pnNome), "Edit_Visualizzato");
    m_numberRows = named(new QStackedWidget(pnNumero), "pnNumberRows");
    m_countryAndNumber = new QWidget(m_numberRows);
    m_lblStato = named(new QLabel(m_countryAndNumber), "lblStato");
    ComboNazione = new TCountrySelector(m_countryAndNumber);
    m_lblNumero = named(new QLabel(m_countryAndNumber), "lblNumero");
    lblIntPrefix = named(new QLabel(InitialPrefixLabel(), m_countryAndNumber), "lblIntPrefix");
    Edit_Numero = named(new QLineEdit(m_countryAndNumber), "Edit_Numero");
    MemoCustomList = named(new QPlainTextEdit(m_numberRows), "MemoCustomList");
    BtnOk = named(new QPushButton(pnNumero), "BtnOk");
    BtnAnnulla = named(new QPushButton(pnNumero), "BtnAnnulla");
    lblDeleteQuestion = named(new QLabel(pnDelete), "lblDeleteQuestion");
    BtnDoDelete = named(new QPushButton(pnDelete), "BtnDoDelete");
    BtnCancelDelete = named(new QPushButton(pnDelete), "BtnCancelDelete");
    BtnSingle = named(new QPushButton(pnDestSelection), "BtnSingle");
    BtnMultiple = named(new QPushButton(pnDestSelection), "BtnMultiple");

    auto* nameRow = new QHBoxLayout(pnNome);
    nameRow->setContentsMargins(0, 0, 0, 0);
    nameRow->addWidget(m_lblNome);
    nameRow->addWidget(Edit_Visualizzato, 1);

    // The pages go in before they get their layouts: the first page added is shown, and a
    // shown page lays its contents out at once, although the panel is hidden at start.
    m_numberRows->addWidget(m_countryAndNumber);
    m_numberRows->addWidget(MemoCustomList);
    auto* grid = new QGridLayout(m_countryAndNumber);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(3);
    grid->addWidget(m_lblStato, 0, 0);
    grid->addWidget(ComboNazione, 0, 1, 1, 2);
    grid->addWidget(m_lblNumero, 1, 0);
    grid->addWidget(lblIntPrefix, 1, 1);
    grid->addWidget(Edit_Numero, 1, 2);
    grid->setColumnStretch(2, 1);
    QFont prefixFont = lblIntPrefix->font();
    prefixFont.setBold(true);
    lblIntPrefix->setFont(prefixFont);
    MemoCustomList->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoCustomList->setTabChangesFocus(true);

    auto* numberLayout = new QVBoxLayout(pnNumero);
    numberLayout->setContentsMargins(0, 0, 0, 0);
    numberLayout->setSpacing(3);
    numberLayout->addWidget(m_numberRows, 1);
    numberLayout->addLayout(CentredPair(BtnOk, BtnAnnulla));

    lblDeleteQuestion->setAlignment(Qt::AlignCenter);
    lblDeleteQuestion->setWordWrap(true);
    auto* deleteLayout = new QVBoxLayout(pnDelete);
    deleteLayout->setContentsMargins(0, 0, 0, 0);
    deleteLayout->addWidget(lblDeleteQuestion, 1);
    deleteLayout->addLayout(CentredPair(BtnDoDelete, BtnCancelDelete));

    auto* choiceLayout = new QVBoxLayout(pnDestSelection);
    choiceLayout->addStretch(1);
    choiceLayout->addLayout(CentredPair(BtnSingle, BtnMultiple));
    choiceLayout->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(3);
    for (QWidget* row : {pnNome, pnNumero, pnDelete, pnDestSelection})
        layout->addWidget(row);

    aAggiungiContatto = new QAction(this);
    aAggiungiContatto->setObjectName(QStringLiteral("aAggiungiContatto"));
    connect(aAggiungiContatto, &QAction::triggered, this, &TContactPanel::OpenAdd);
    aAddCustomNumber = new QAction(this);
    aAddCustomNumber->setObjectName(QStringLiteral("aAddCustomNumber"));
    connect(aAddCustomNumber, &QAction::triggered, this, &TContactPanel::OpenChoice);

    connect(BtnOk, &QPushButton::clicked, this, &TContactPanel::BtnOkClick);
    connect(BtnAnnulla, &QPushButton::clicked, this, &TContactPanel::BtnAnnullaClick);
    connect(BtnDoDelete, &QPushButton::clicked, this, &TContactPanel::BtnDoDeleteClick);
    connect(BtnCancelDelete, &QPushButton::clicked, this, &TContactPanel::BtnCancelDeleteClick);
    connect(BtnSingle, &QPushButton::clicked, this, &TContactPanel::BtnSingleClick);
    connect(BtnMultiple, &QPushButton::clicked, this, &TContactPanel::BtnMultipleClick);
    connect(Edit_Visualizzato, &QLineEdit::textChanged, this, &TContactPanel::controllaDati);
    connect(Edit_Numero, &QLineEdit::textChanged, this, &TContactPanel::controllaDati);
    connect(Edit_Numero, &QLineEdit::textEdited, this, &TContactPanel::NumberEdited);
    connect(MemoCustomList, &QPlainTextEdit::textChanged, this, &TContactPanel::ControllaLista);
    connect(ComboNazione, &TCountrySelector::countryApplied, this,
            [this](int, const QString& name, const QString& prefix, bool byUser) {
                CountryApplied(name, prefix, byUser);
            });
    connect(&m_edits, &TPhoneBookEdits::loadingChanged, this, [this] {
        if (m_open && m_mode != ModeList)
            controllaDati();
        BtnDoDelete->setEnabled(!m_edits.IsLoading());
    });
    // The contact being changed or deleted leaves the tree: nothing is left to change.
    connect(&m_edits, &TPhoneBookEdits::nodeGoing, this, [this](const TContactNode* node) {
        if (m_open && m_node && (!node || node == m_node)) {
            m_node = nullptr;
            QTimer::singleShot(0, this, [this] {
                if (m_open && !m_node && (m_mode == ModeChange || pnDelete->isVisible()))
                    Close();
            });
        }
    });
    Edit_Numero->installEventFilter(this);

    ApplyLanguage(QStringLiteral("ITA"));
    hide();
}

TContactPanel::~TContactPanel() = default;

void TContactPanel::ApplyLanguage(const QString& code)
{
    if (LanguageGroupOf(code) == LanguageGroup::None)
        return;
    m_language = code;
    m_texts->Compose.ApplyLanguage(code);
    const auto text = [&code](auto* control, const Tr& tr) { control->setText(*PickText(code, tr)); };
    text(aAggiungiContatto, {"&Aggiungi contatto...", "&Add contact...", "&Adicionar contacto..."});
    text(aAddCustomNumber, {"Invia SMS a numeri non in rubrica...", "Send SMS to not saved numbers...",
                            "Enviar SMS a numeros fora da agenda..."});
    text(m_lblNome, {"Nome:", "Name:", "Nome:"});
    text(m_lblNumero, {"Numero:", "Number:", "Numero:"});
    text(m_lblStato, {"Stato:", "Country:", "País:"});
    text(BtnOk, {"Ok", "Ok", "Ok"});
    text(BtnAnnulla, {"Annulla", "Cancel", "Anula"});
    text(BtnSingle, {"Numero singolo", "Single number", "Single number"});
    text(BtnMultiple, {"Elenco di numeri", "List of numbers", "List of numbers"});
    text(lblDeleteQuestion, {"  Sei sicuro di voler cancellare il contatto selezionato?  ",
                             "  Do you really want to delete selected contact?  ",
                             "  Deseja realmente apagar o contacto seleccionado?  "});
    text(BtnDoDelete, {"Si", "Yes", "sim"});
    text(BtnCancelDelete, {"No", "No", "não"});
    MemoCustomList->setPlaceholderText(m_texts->Compose.CustomListHint);
    // The three labels share one column.
    int width = 0;
    for (QLabel* label : {m_lblNome, m_lblStato, m_lblNumero})
        width = std::max(width, label->sizeHint().width());
    for (QLabel* label : {m_lblNome, m_lblStato, m_lblNumero})
        label->setMinimumWidth(width);
}

void TContactPanel::ShowRows(bool name, bool number, bool list, bool deletion, bool choice)
{
    pnNome->setVisible(name);
    pnNumero->setVisible(number);
    m_numberRows->setCurrentWidget(list ? static_cast<QWidget*>(MemoCustomList) : m_countryAndNumber);
    pnDelete->setVisible(deletion);
    pnDestSelection->setVisible(choice);
    const int designed = name ? FullHeight : ShortHeight;
    layout()->invalidate();
    // Larger desktop fonts get the room they need.
    setFixedHeight(std::max(designed, layout()->totalMinimumSize().height()));
}

void TContactPanel::Open(Mode mode, bool adding)
{
    if (!m_open) {
        m_open = true;
        emit mainControlsEnabled(false);
        if (adding) {
            SavedNoticeCount = m_topPanel.NoticeCount();
            m_topPanel.SetNoticeCount(0);
        }
        m_adding = adding;
    }
    m_mode = mode;
    if (adding) {
        Edit_Visualizzato->clear();
        Edit_Numero->clear();
    }
    show();
}

void TContactPanel::Close()
{
    const bool adding = m_adding;
    m_open = false;
    m_adding = false;
    m_node = nullptr;
    emit mainControlsEnabled(true);
    ShowRows(true, true, false, false, false);
    hide();
    // A strip shown while the panel was open counts as well.
    if (adding)
        m_topPanel.SetNoticeCount(std::max(SavedNoticeCount, m_topPanel.NoticeArea()->StripCount()));
}

void TContactPanel::OpenAdd()
{
    if (m_open)
        return;
    m_node = nullptr;
    ShowRows(true, true, false, false, false);
    Open(ModeAdd, true);
    ComboNazione->SelectRemembered(m_settings.GetLastIntPrefix());
    controllaDati();
    Edit_Visualizzato->setFocus();
}

void TContactPanel::OpenChange(TContactNode* node)
{
    if (m_open || !m_edits.CanChange(node))
        return;
    m_node = node;
    ShowRows(true, true, false, false, false);
    Open(ModeChange, false);
    const TContactData d = node->Data();
    Edit_Visualizzato->setText(!d.NickName.isEmpty() ? d.NickName : d.FirstName + u' ' + d.LastName);
    Edit_Numero->setText(ComboNazione->SelectCountryOfNumber(d.Number));
    controllaDati();
    Edit_Visualizzato->setFocus();
}

void TContactPanel::OpenDelete(TContactNode* node)
{
    if (m_open || !m_edits.CanDelete(node))
        return;
    m_node = node;
    ShowRows(false, false, false, true, false);
    Open(ModeSingleOrDelete, false);
    BtnDoDelete->setEnabled(!m_edits.IsLoading());
    BtnCancelDelete->setFocus();
}

void TContactPanel::OpenChoice()
{
    if (m_open)
        return;
    ShowRows(false, false, false, false, true);
    Open(ModeChoice, true);
    BtnSingle->setFocus();
}

void TContactPanel::BtnSingleClick()
{
    if (m_open && m_mode != ModeChoice)
        return;
    ShowRows(false, true, false, false, false);
    Open(ModeSingleOrDelete, true);
    ComboNazione->SelectRemembered(m_settings.GetLastIntPrefix());
    controllaDati();
    Edit_Numero->setFocus();
}

void TContactPanel::BtnMultipleClick()
{
    if (m_open && m_mode != ModeChoice)
        return;
    ShowRows(false, true, true, false, false);
    Open(ModeList, true);
    MemoCustomList->clear();
    ComboNazione->SelectRemembered(m_settings.GetLastIntPrefix());
    ControllaLista();
    MemoCustomList->setFocus();
}

QString TContactPanel::ComposedNumber() const
{
    const QString field = Edit_Numero->text();
    QString number = CarriesOwnPrefix(field) ? field : lblIntPrefix->text() + field;
    QString accepted;
    CleanPhoneNumber(number, accepted);
    return accepted;
}

bool TContactPanel::OkPossible() const
{
    // Adding and changing write the phone book, which a load is replacing.
    return !((m_mode == ModeAdd || m_mode == ModeChange) && m_edits.IsLoading());
}

void TContactPanel::controllaDati()
{
    if (m_mode == ModeList)
        return;
    const QString field = Edit_Numero->text();
    const bool own = CarriesOwnPrefix(field);
    const TContactNumberCheck check = CheckContactNumber(own ? QString() : lblIntPrefix->text(), field,
                                                         own || ComboNazione->SelectedRow() >= 0);
    QPalette palette = Edit_Numero->palette();
    palette.setColor(QPalette::Text, check.Valid ? QPalette().color(QPalette::Text) : QColor(Qt::red));
    Edit_Numero->setPalette(palette);
    QFont font = Edit_Numero->font();
    font.setBold(!check.Valid);
    Edit_Numero->setFont(font);
    BtnOk->setEnabled(check.OkEnabled && OkPossible());
}

void TContactPanel::ControllaLista()
{
    if (m_mode == ModeList)
        BtnOk->setEnabled(HoldsNonBlank(MemoCustomList->document()));
}

void TContactPanel::NumberEdited(const QString& text)
{
    if (!CarriesOwnPrefix(text))
        return;
    // A number typed with its prefix selects its country, unless the country chosen has it.
    QString number = text.trimmed();
    if (number.startsWith(QStringLiteral("00")))
        number = u'+' + number.mid(2);
    const QString selected = ComboNazione->SelectedPrefix();
    if (selected.size() > 1 && number.startsWith(selected))
        return;
    const TCountryMatch match = FindCountryOfNumber(number);
    if (match.Row >= 0)
        ComboNazione->SelectRow(match.Row);
}

void TContactPanel::CountryApplied(const QString& name, const QString& prefix, bool byUser)
{
    lblIntPrefix->setText(prefix);
    m_settings.SetLastIntPrefix(name);
    m_settings.SaveSettings();
    if (byUser)
        Edit_Numero->setFocus();
    controllaDati();
}

void TContactPanel::BtnOkClick()
{
    if (!m_open || !BtnOk->isEnabled())
        return;
    TContactNode* stored = nullptr;
    switch (m_mode) {
    case ModeAdd:
        if (const QString number = ComposedNumber(); !number.isEmpty())
            stored = m_edits.AddContact(Edit_Visualizzato->text(), number);
        break;
    case ModeChange:
        if (const QString number = ComposedNumber(); !number.isEmpty() && m_node) {
            m_edits.ChangeContact(m_node, Edit_Visualizzato->text(), number);
            stored = m_node;
        }
        break;
    case ModeSingleOrDelete:
        if (const QString number = ComposedNumber(); !number.isEmpty())
            emit numbersChosen({number});
        break;
    case ModeList: {
        QStringList numbers = ParseNumberList(MemoCustomList->toPlainText());
        const bool lacking = std::any_of(numbers.begin(), numbers.end(), LacksInternationalPrefix);
        if (lacking) {
            // A number without its country's prefix would go to another country.
            const std::optional<QString> prefix = TF_PrefissoMancante::Ask(window(), m_language, m_settings);
            if (!prefix)
                return; // the list stays in the box
            for (QString& number : numbers)
                number = ApplyDefaultPrefix(number, *prefix);
        }
        MemoCustomList->clear();
        if (!numbers.isEmpty())
            emit numbersChosen(numbers);
        break;
    }
    case ModeChoice:
        return;
    }
    Close();
    if (stored)
        emit contactStored(stored);
    emit closed();
}

void TContactPanel::BtnAnnullaClick()
{
    if (!m_open)
        return;
    MemoCustomList->clear();
    Close();
    emit closed();
}

void TContactPanel::BtnDoDeleteClick()
{
    if (!m_open || !pnDelete->isVisible())
        return;
    if (m_node && !m_edits.IsLoading())
        m_edits.DeleteNode(m_node);
    Close();
    emit closed();
}

void TContactPanel::BtnCancelDeleteClick()
{
    BtnAnnullaClick();
}

void TContactPanel::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Escape) {
        if (pnDelete->isVisible())
            BtnCancelDeleteClick();
        else
            BtnAnnullaClick();
        return;
    }
    const QWidget* focus = focusWidget();
    const bool enterField = focus == Edit_Visualizzato || focus == Edit_Numero || focus == ComboNazione;
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && enterField && BtnOk->isEnabled()) {
        BtnOkClick();
        return;
    }
    QFrame::keyPressEvent(event);
}

bool TContactPanel::eventFilter(QObject* watched, QEvent* event)
{
    // Entering the number field when it holds just "+" puts the caret after it.
    if (watched == Edit_Numero && event->type() == QEvent::FocusIn && Edit_Numero->text() == u"+")
        QTimer::singleShot(0, Edit_Numero, [this] {
            Edit_Numero->deselect();
            Edit_Numero->setCursorPosition(1);
        });
    return QFrame::eventFilter(watched, event);
}
