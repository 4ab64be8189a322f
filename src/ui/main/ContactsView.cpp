#include "ui/main/ContactsView.h"

#include "phonebook/ContactsTree.h"
#include "ui/main/ContactsFilterModel.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {
// Paints a row as the style's item views do (background, picture, caption elided on the right)
// with the caption laid out once: the tree repaints its rows at every quick-search keystroke.
class TContactRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QWidget* widget = option.widget;
        const QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &option, painter, widget);
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        QRect area = option.rect.adjusted(margin, 0, -margin, 0);
        const bool selected = option.state & QStyle::State_Selected;
        const bool enabled = option.state & QStyle::State_Enabled;
        const auto icon = qvariant_cast<QIcon>(index.data(Qt::DecorationRole));
        if (!icon.isNull()) {
            const QSize size = option.decorationSize;
            const QRect place(area.left(), area.top() + (area.height() - size.height()) / 2, size.width(),
                              size.height());
            const QIcon::Mode mode = !enabled ? QIcon::Disabled : QIcon::Normal;
            icon.paint(painter, place, Qt::AlignCenter, enabled && selected ? QIcon::Selected : mode);
            area.setLeft(place.right() + 1 + 2 * margin);
        }
        QPalette::ColorGroup group = QPalette::Disabled;
        if (enabled)
            group = option.state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
        painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(option.font);
        const QString text = index.data(Qt::DisplayRole).toString();
        painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          option.fontMetrics.elidedText(text, Qt::ElideRight, area.width()));
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(option);
            focus.backgroundColor =
                option.palette.color(group, selected ? QPalette::Highlight : QPalette::Window);
            style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
        }
    }
};
} // namespace

TContactsView::TContactsView(QWidget* parent) : QTreeView(parent)
{
    setObjectName(QStringLiteral("vtContacts"));
    setHeaderHidden(true);
    setUniformRowHeights(true); // a phone book of 100,000 rows lays out in one pass
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setExpandsOnDoubleClick(false); // a double click never opens or closes a list
    setItemsExpandable(false);      // the buttons go through RequestToggle
    setRootIsDecorated(true);
    setAnimated(false);
    setMouseTracking(true); // the row under the mouse is highlighted
    setAttribute(Qt::WA_Hover);
    setIconSize({16, 16});
    setContextMenuPolicy(Qt::DefaultContextMenu);
    setItemDelegate(new TContactRowDelegate(this));
}

void TContactsView::SetFilterModel(TContactsFilterModel* model)
{
    m_model = model;
    setModel(model);
}

TContactNode* TContactsView::SelectedNode() const
{
    if (!m_model || !selectionModel())
        return nullptr;
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? nullptr : m_model->NodeOf(rows.first());
}

void TContactsView::SelectNode(const TContactNode* node)
{
    const QModelIndex index = m_model ? m_model->IndexOf(node) : QModelIndex();
    if (!index.isValid())
        return;
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TContactsView::Deselect()
{
    if (selectionModel())
        selectionModel()->clearSelection();
}

bool TContactsView::RequestToggle(const QModelIndex& index)
{
    const bool allowed = !SuppressToggle;
    Deselect();
    SuppressToggle = false;
    if (!allowed || !index.isValid() || !model()->hasChildren(index))
        return false;
    setExpanded(index, !isExpanded(index));
    return true;
}

bool TContactsView::OnToggleButton(const QModelIndex& index, const QPoint& position) const
{
    if (!index.isValid() || !model()->hasChildren(index))
        return false;
    const QRect item = visualRect(index);
    return position.x() < item.left() && position.x() >= item.left() - indentation();
}

void TContactsView::mousePressEvent(QMouseEvent* event)
{
    const QPoint position = event->position().toPoint();
    const QModelIndex index = indexAt(position);
    m_leftPressOnNode = false;
    if (event->button() == Qt::RightButton) {
        if (index.isValid())
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
        return; // the pop-up menu follows as a context-menu event
    }
    if (event->button() != Qt::LeftButton) {
        QTreeView::mousePressEvent(event);
        return;
    }
    if (OnToggleButton(index, position)) {
        RequestToggle(index);
        return;
    }
    if (!index.isValid()) {
        Deselect(); // the click on empty space adds nothing
        return;
    }
    if (SelectedNode() != m_model->NodeOf(index))
        Deselect();
    m_leftPressOnNode = true;
    QTreeView::mousePressEvent(event);
}

void TContactsView::mouseReleaseEvent(QMouseEvent* event)
{
    QTreeView::mouseReleaseEvent(event);
    const bool doubleClick = m_doubleClickPress;
    m_doubleClickPress = false;
    if (event->button() != Qt::LeftButton || !m_leftPressOnNode || doubleClick)
        return;
    m_leftPressOnNode = false;
    if (TContactNode* node = SelectedNode())
        emit nodeClicked(node);
}

void TContactsView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint position = event->position().toPoint();
    const QModelIndex index = indexAt(position);
    if (event->button() != Qt::LeftButton) {
        QTreeView::mouseDoubleClickEvent(event);
        return;
    }
    if (OnToggleButton(index, position)) {
        RequestToggle(index); // a quick second click on the button is a click of its own
        return;
    }
    m_doubleClickPress = true;
    m_leftPressOnNode = false;
    SuppressToggle = true;
    // The tree's own toggle on a double click is the request that SuppressToggle refuses: a
    // list keeps its state; on a contact nothing toggles and the next request is refused.
    if (index.isValid() && model()->hasChildren(index))
        RequestToggle(index);
}

void TContactsView::keyPressEvent(QKeyEvent* event)
{
    const QModelIndex current = currentIndex();
    switch (event->key()) {
    case Qt::Key_Delete:
        emit deleteKeyPressed();
        return;
    case Qt::Key_Insert:
        emit insertKeyPressed();
        return;
    case Qt::Key_Plus:
        if (event->modifiers() & Qt::KeypadModifier)
            emit keypadPlusPressed();
        else if (current.isValid() && !isExpanded(current))
            RequestToggle(current);
        return;
    case Qt::Key_Minus:
        if (current.isValid() && isExpanded(current))
            RequestToggle(current);
        return;
    case Qt::Key_Asterisk:
        return;
    case Qt::Key_Right:
        if (current.isValid() && model()->hasChildren(current) && !isExpanded(current)) {
            RequestToggle(current);
            return;
        }
        break;
    case Qt::Key_Left:
        if (current.isValid() && isExpanded(current)) {
            RequestToggle(current);
            return;
        }
        break;
    default:
        break;
    }
    QTreeView::keyPressEvent(event);
}

void TContactsView::contextMenuEvent(QContextMenuEvent* event)
{
    const QModelIndex index =
        event->reason() == QContextMenuEvent::Mouse ? indexAt(event->pos()) : currentIndex();
    emit contextMenuWanted(event->globalPos(), m_model ? m_model->NodeOf(index) : nullptr);
}
