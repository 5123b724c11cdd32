#pragma once

#include <QList>
#include <QMenu>
#include <QPointer>
#include <QSet>
#include <QTreeView>

#include "gui/RowListModel.h"

namespace qinglan::gui {

// A list view in report style over its own row model: whole-row single selection that stays
// visible without focus, fixed column widths, a cell cut short shows its whole text as its tool
// tip, a right click selects the row under it and opens the pop-up menu on the button's release
// (presses never arrive: the application's filter takes them), as do the Menu key and Shift+F10,
// and removing the selected row leaves no row selected.
class ListView : public QTreeView {
  Q_OBJECT

 public:
  struct Column {
    QString caption;
    int width = 100;
  };

  ListView(const QList<Column>& columns, RowListModel::Options options, QWidget* parent = nullptr);
  // A list over a model of its own kind, which the caller gives the view to own.
  ListView(const QList<Column>& columns, QAbstractItemModel* model, QWidget* parent = nullptr);

  // The row model; null for a list over a model of another kind.
  RowListModel* rows() const { return m_rows; }
  void setPopupMenu(QMenu* menu) { m_popupMenu = menu; }
  QMenu* popupMenu() const { return m_popupMenu; }

  // A header click sorts by its column, a second click reverses; refilling the list drops the order.
  void enableSorting();

  // The selected row, or -1 when none is.
  int selectedRow() const;
  void selectRow(int row);
  // Cells of the column that do not fit lose the middle of their text instead of its end.
  void elideInTheMiddle(int column);
  // The cell's text as drawn, with an ellipsis where it is cut short.
  QString displayedText(const QModelIndex& index) const;
  // True when the cell is drawn cut short; its tool tip then shows the whole text.
  bool isCut(const QModelIndex& index) const;

 protected:
  void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                   const QList<int>& roles = QList<int>()) override;
  void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool viewportEvent(QEvent* event) override;

 private:
  // Opens the menu below the current row, or at the list's corner when there is none.
  void popupAtCurrentRow();

  QAbstractItemModel* m_model;
  RowListModel* m_rows = nullptr;
  QPointer<QMenu> m_popupMenu;
  QSet<int> m_middleElided;
};

}  // namespace qinglan::gui
