#pragma once

#include <string_view>
#include <vector>

#include <QElapsedTimer>
#include <QStringList>

#include "gui/CaptionedTableModel.h"
#include "scan/Findings.h"

namespace qinglan::gui {

// The results list as the window draws it: a table over findings the window holds, one column
// per entry of the results columns. Findings appended become visible in one insertion at the next
// flush, so that hundreds of thousands of them stay fast; the whole-list check commands emit a
// single change for all rows. A header click reorders the findings themselves, so a row index is
// always the row the user sees; column -1 returns to the order they were added in. Texts become
// QStrings only when drawn. Rows named "未知" and rows whose cleaning failed are drawn in red.
class FindingsModel : public CaptionedTableModel {
  Q_OBJECT

 public:
  explicit FindingsModel(Findings& findings, QObject* parent = nullptr);

  const Findings& findings() const { return m_findings; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // Rows of equal keys keep the order they were added in.
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
  int sortColumn() const { return m_sortColumn; }

  // Rows visible and waiting for the next flush.
  int count() const;
  QString text(int row, int column) const;
  bool isChecked(int row) const;
  void setChecked(int row, bool checked);
  void setStatus(int row, std::string_view status);

  void flush();
  // Flushes unless the list is long and was flushed a moment ago: a view lays all its rows out
  // again at each insertion, so the longer the list, the longer new rows wait (a million rows
  // about half a second), and a scan's pumps do not spend its time laying out the list.
  void flushSoon();
  void clear();

  void checkAll();
  void uncheckAll();
  void invertChecks();

 signals:
  // After a sort: the new index of each row, by its index before.
  void rowsReordered(const std::vector<int>& newRowOfOld);

 private:
  bool isRed(size_t row) const;
  void checksChanged();
  std::vector<int> sortedOrder(int column, Qt::SortOrder order) const;
  void applyOrder(const std::vector<int>& order);

  Findings& m_findings;
  size_t m_visible = 0;
  QElapsedTimer m_sinceFlush;
  int m_sortColumn = -1;
};

}  // namespace qinglan::gui
