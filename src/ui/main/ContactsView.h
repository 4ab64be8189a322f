#pragma once

#include <QTreeView>

class TContactNode;
class TContactsFilterModel;

// The contacts tree vtContacts: contacts and lists at the top, members under their list. Its
// mouse and key rules: a left click on a node selects it alone and the release hands it over
// (nodeClicked), a click on empty space deselects; a list opens and closes only through
// RequestToggle, which deselects and is refused once after a double click (SuppressToggle);
// the right button selects the node under it before the pop-up menu; Delete, Insert and the
// keypad's "+" become requests.
class TContactsView : public QTreeView
{
    Q_OBJECT

public:
    explicit TContactsView(QWidget* parent = nullptr);

    void SetFilterModel(TContactsFilterModel* model);
    TContactsFilterModel* FilterModel() const { return m_model; }
    // The selected node, or null.
    TContactNode* SelectedNode() const;
    void SelectNode(const TContactNode* node);
    void Deselect();

    // A double click has just happened: the next expand or collapse request is refused.
    bool SuppressToggle = false;

    // vtContactsExpanding / vtContactsCollapsing: whatever the answer, the selection goes and
    // SuppressToggle is cleared. Answers whether the list was opened or closed.
    bool RequestToggle(const QModelIndex& index);

signals:
    // vtContactsClick with a node selected.
    void nodeClicked(TContactNode* node);
    // Right button, after the node under the mouse (if any) was selected: the pop-up menu.
    void contextMenuWanted(const QPoint& globalPosition, TContactNode* nodeUnderMouse);
    void deleteKeyPressed();
    void insertKeyPressed();
    void keypadPlusPressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // The press is on the open/close button of a list's row.
    bool OnToggleButton(const QModelIndex& index, const QPoint& position) const;

    TContactsFilterModel* m_model = nullptr;
    bool m_leftPressOnNode = false;
    bool m_doubleClickPress = false;
};
