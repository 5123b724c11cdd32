#include "gui/ListView.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPalette>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace qinglan::gui {

namespace {

QStringList captionsOf(const QList<ListView::Column>& columns) {
  QStringList captions;
  for (const ListView::Column& column : columns)
    captions.append(column.caption);
  return captions;
}

class MiddleElidingDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    option->textElideMode = Qt::ElideMiddle;
  }
};

}  // namespace

ListView::ListView(const QList<Column>& columns, RowListModel::Options options, QWidget* parent)
    : ListView(columns, new RowListModel(captionsOf(columns), options), parent) {
  m_rows = static_cast<RowListModel*>(m_model);
}

ListView::ListView(const QList<Column>& columns, QAbstractItemModel* model, QWidget* parent)
    : QTreeView(parent), m_model(model) {
  m_model->setParent(this);
  setModel(m_model);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setIconSize(QSize(16, 16));
  header()->setStretchLastSection(false);
  header()->setSectionsMovable(false);
  for (int column = 0; column < columns.size(); ++column)
    setColumnWidth(column, columns.at(column).width);

  QPalette keepSelection = palette();
  for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
    keepSelection.setColor(QPalette::Inactive, role, keepSelection.color(QPalette::Active, role));
  setPalette(keepSelection);
}

void ListView::enableSorting() {
  header()->setSortIndicator(-1, Qt::AscendingOrder);
  setSortingEnabled(true);
  connect(m_model, &QAbstractItemModel::modelReset, this,
          [this] { header()->setSortIndicator(-1, Qt::AscendingOrder); });
}

int ListView::selectedRow() const {
  const QModelIndexList selected = selectionModel()->selectedRows();
  return selected.isEmpty() ? -1 : selected.front().row();
}

void ListView::selectRow(int row) {
  if (row < 0 || row >= m_model->rowCount()) {
    selectionModel()->clearSelection();
    return;
  }
  const QModelIndex index = m_model->index(row, 0);
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ListView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                           const QList<int>& roles) {
  // The views walk every row of a change, for its new height and for the area to repaint. All
  // rows here are of one height and nothing is edited in place, so a change of many rows, as
  // "全选" makes over a million, needs only a repaint.
  if (topLeft.row() == bottomRight.row())
    QTreeView::dataChanged(topLeft, bottomRight, roles);
  else
    viewport()->update();
}

void ListView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) {
  const int selected = selectedRow();
  QTreeView::rowsAboutToBeRemoved(parent, start, end);
  // The view would select the next row in its place, which a second command would then act on.
  if (selected >= start && selected <= end)
    selectionModel()->clearSelection();
}

void ListView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::RightButton) {
    QTreeView::mouseReleaseEvent(event);
    return;
  }
  // Right presses may never arrive, so the row under the cursor is selected here.
  const QModelIndex under = indexAt(event->position().toPoint());
  if (under.isValid())
    selectRow(under.row());
  event->accept();
  if (!m_popupMenu.isNull())
    m_popupMenu->popup(event->globalPosition().toPoint());
}

void ListView::keyPressEvent(QKeyEvent* event) {
  const bool shiftF10 = event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier;
  if (m_popupMenu.isNull() || (event->key() != Qt::Key_Menu && !shiftF10)) {
    QTreeView::keyPressEvent(event);
    return;
  }
  event->accept();
  popupAtCurrentRow();
}

void ListView::contextMenuEvent(QContextMenuEvent* event) {
  // Mouse requests are answered on the release; this is the keyboard's.
  if (m_popupMenu.isNull() || event->reason() != QContextMenuEvent::Keyboard) {
    QTreeView::contextMenuEvent(event);
    return;
  }
  event->accept();
  if (!m_popupMenu->isVisible())
    popupAtCurrentRow();
}

void ListView::popupAtCurrentRow() {
  const QModelIndex current = currentIndex();
  QPoint at;
  if (current.isValid()) {
    scrollTo(current);
    selectRow(current.row());
    at = visualRect(m_model->index(current.row(), 0)).bottomLeft();
  }
  m_popupMenu->popup(viewport()->mapToGlobal(at));
}

void ListView::elideInTheMiddle(int column) {
  m_middleElided.insert(column);
  setItemDelegateForColumn(column, new MiddleElidingDelegate(this));
}

bool ListView::isCut(const QModelIndex& index) const {
  return displayedText(index) != index.data(Qt::DisplayRole).toString();
}

QString ListView::displayedText(const QModelIndex& index) const {
  const QString text = index.data(Qt::DisplayRole).toString();
  if (text.isEmpty())
    return text;
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  option.rect = visualRect(index);
  option.text = text;
  option.features |= QStyleOptionViewItem::HasDisplay;
  if (index.flags().testFlag(Qt::ItemIsUserCheckable))
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
  if (!index.data(Qt::DecorationRole).isNull())
    option.features |= QStyleOptionViewItem::HasDecoration;
  const QRect textRect = style()->subElementRect(QStyle::SE_ItemViewItemText, &option, this);
  // The style draws the text with a margin on either side.
  const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
  const Qt::TextElideMode mode = m_middleElided.contains(index.column()) ? Qt::ElideMiddle : textElideMode();
  return option.fontMetrics.elidedText(text, mode, textRect.width() - 2 * margin);
}

bool ListView::viewportEvent(QEvent* event) {
  if (event->type() != QEvent::ToolTip)
    return QTreeView::viewportEvent(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const QModelIndex index = indexAt(help->pos());
  if (index.isValid() && isCut(index))
    QToolTip::showText(help->globalPos(), index.data(Qt::DisplayRole).toString(), viewport(),
                       visualRect(index));
  else
    QToolTip::hideText();
  return true;
}

}  // namespace qinglan::gui
