#pragma once

#include "ui/main/QuickSearchIndex.h"

#include <QFrame>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QStackedLayout;
class TContactNode;
class TContactsFilterModel;
class TContactsModel;
class TContactsView;
class TFr_QuickSearch;
class TPhoneBookEdits;
class TPhoneBookLoad;
class TSettingsHolder;
class TTopPanel;
struct TPhoneBookLoadOutcome;
struct TPhoneBookServices;

// The phone book's area of the main window: the contacts tree vtContacts, or the grey logo
// area while the phone book is empty (and the loading progress while it is read). It loads the
// tree, filters it with the quick-search strip of the notice area, owns the tree's commands and
// pop-up menu, and hands contacts over by signals (to the recipients, to the contact panel).
class TContactsPane : public QFrame
{
    Q_OBJECT

public:
    static const QColor& EmptyGrey();

    TContactsPane(TPhoneBookServices& services, TSettingsHolder& settings, TTopPanel& topPanel,
                  QWidget* parent = nullptr);
    ~TContactsPane() override;

    void ApplyLanguage(const QString& code);

    TContactsView* View() const { return vtContacts; }
    TContactsModel* SourceModel() const { return m_model; }
    TPhoneBookEdits& Edits() const { return *m_edits; }
    TContactNode* SelectedNode() const;
    // Scrolls node to the top of the tree and selects it (without adding it to the recipients).
    void SelectAndScrollToTop(const TContactNode* node);

    // Fills the tree: at the start with the phone book's version check and upgrade first. The
    // remote phone book is used when "UsePGOnline" is on. phoneBookLoaded follows.
    void LoadPhoneBook(bool atStart);
    bool IsLoading() const;
    // The tree when it has a top-level node, else the grey area with the logo.
    void UpdateEmptyView();
    // The empty-phone-book notice, once per run: when the loaded tree is empty and the window
    // is not hidden in the tray (the window is brought to the front first).
    void OfferEmptyNotice(bool hiddenInTray);
    bool ShowEmptyNotice = true;

    // The quick-search strip: opened (or found), focused, and its text applied.
    void ShowQuickSearch();
    TFr_QuickSearch* QuickSearchStrip() const;
    void FilterQuickSearch(const QString& text);
    // Every node shown again, lists closed; with a strip, the strip closes too.
    void UserFilterClose(TFr_QuickSearch* strip);
    // The list manager closed: the view unfiltered, the tree reloaded when it changed something,
    // the open strip's filter applied again (once the tree is loaded).
    void ReloadAfterListsChanged(bool changed);

    // Commands of the tree (the Actions menu shows aModificaContatto and aEliminaContatto
    // hidden, and aQuickSearch).
    QAction* aModificaContatto;
    QAction* aPopModificaContatto;
    QAction* aEliminaContatto;
    QAction* aPopEliminaContatto;
    QAction* aAggiungiDestinatario;
    QAction* aQuickSearch;
    QAction* Gestioneliste1; // the pop-up's manage-lists entry
    QMenu* PopContacts;

signals:
    // A click selected a node (vtContactsClick), or aAggiungiDestinatario: to the recipients.
    void addToRecipientsRequested(TContactNode* node);
    // The Insert key: the add-contact command.
    void addContactRequested();
    // Change or delete (inline question) in the contact panel.
    void changeRequested(TContactNode* node);
    void deleteConfirmRequested(TContactNode* node);
    void manageListsRequested();
    void bringToFrontRequested();
    // A load ended (the tree is filled); atStart for the first activation's load.
    void phoneBookLoaded(bool atStart);

private:
    void BuildActions();
    void UpdateActions();
    void ShowPopup(const QPoint& globalPosition, TContactNode* nodeUnderMouse);
    void DeleteWithQuestion();
    void PopupDelete();
    void LoadStarted();
    void LoadFinished(const TPhoneBookLoadOutcome& outcome);
    void ReportLoadProblem(const TPhoneBookLoadOutcome& outcome);
    void RefreshIndex();
    void ShowAllRows();

    TPhoneBookServices& m_services;
    TSettingsHolder& m_settings;
    TTopPanel& m_topPanel;
    TContactsModel* m_model;
    TContactsFilterModel* m_filter;
    TContactsView* vtContacts;
    TPhoneBookLoad* m_load;
    TPhoneBookEdits* m_edits;
    QStackedLayout* m_pages;
    QWidget* m_emptyPage;
    QLabel* m_loadingLabel;
    QProgressBar* m_loadingProgress;
    std::optional<TQuickSearchIndex> m_index; // empty when the tree changed since it was built
    bool m_loadAtStart = false;
    bool m_loadedOnce = false; // until then an empty tree says nothing about the phone book
    bool m_refilterAfterLoad = false;
    QString m_language;
    struct TTexts;
    std::unique_ptr<TTexts> m_texts;
};
