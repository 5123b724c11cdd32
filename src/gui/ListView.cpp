#include "gui/ListView.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMouseEvent>
#include <QPalette>

namespace qinglan::gui {

namespace {

QStringList captionsOf(const QList<ListView::Column>& columns) {
  QStringList captions;
  for (const ListView::Column& column : columns)
    captions.append(column.caption);
  return captions;
}

}  // namespace

ListView::ListView(const QList<Column>& columns, RowListModel::Options options, QWidget* parent)
    : QTreeView(parent), m_rows(new RowListModel(captionsOf(columns), options, this)) {
  setModel(m_rows);
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

int ListView::selectedRow() const {
  const QModelIndexList selected = selectionModel()->selectedRows();
  return selected.isEmpty() ? -1 : selected.front().row();
}

void ListView::selectRow(int row) {
  if (row < 0 || row >= m_rows->rowCount()) {
    selectionModel()->clearSelection();
    return;
  }
  const QModelIndex index = m_rows->index(row, 0);
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ListView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::RightButton || m_popupMenu.isNull()) {
    QTreeView::mouseReleaseEvent(event);
    return;
  }
  // Right presses may never arrive, so the row under the cursor is selected here.
  const QModelIndex under = indexAt(event->position().toPoint());
  if (under.isValid())
    selectRow(under.row());
  event->accept();
  m_popupMenu->popup(event->globalPosition().toPoint());
}

}  // namespace qinglan::gui
