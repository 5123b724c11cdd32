#pragma once

#include <QList>
#include <QMenu>
#include <QPointer>
#include <QTreeView>

#include "gui/RowListModel.h"

namespace qinglan::gui {

// A list view in report style over its own row model: whole-row single selection that stays
// visible without focus, fixed column widths, and a pop-up menu opened on the right button's
// release.
class ListView : public QTreeView {
  Q_OBJECT

 public:
  struct Column {
    QString caption;
    int width = 100;
  };

  ListView(const QList<Column>& columns, RowListModel::Options options, QWidget* parent = nullptr);

  RowListModel* rows() const { return m_rows; }
  void setPopupMenu(QMenu* menu) { m_popupMenu = menu; }
  QMenu* popupMenu() const { return m_popupMenu; }

  // The selected row, or -1 when none is.
  int selectedRow() const;
  void selectRow(int row);

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  RowListModel* m_rows;
  QPointer<QMenu> m_popupMenu;
};

}  // namespace qinglan::gui
