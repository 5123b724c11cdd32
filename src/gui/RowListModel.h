#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include <QStringList>

#include "gui/CaptionedTableModel.h"

#include "scan/TextPool.h"

namespace qinglan::gui {

class IconList;

// "软件名[3]": the first column's caption doubling as the row counter.
QString counterCaption(const QString& prefix, int rowCount);

// One row of a list view: its column texts, check mark and image index.
struct ListRow {
  QStringList cells;
  bool checked = false;
  int imageIndex = -1;  // into the shared icon list; -1 for none
  // The raw bytes of what the row stands for (a resource ID, a folder name), which the cells can
  // show only as text; empty when the cells say it all.
  std::string key = {};
};

// The rows of one list view. Rows may be queued and made visible in one insertion at the next
// flush; the whole-list check commands emit a single change for all rows. Each row is kept
// compact: its texts live once each in a pool, and become QStrings only when asked for.
class RowListModel : public CaptionedTableModel {
  Q_OBJECT

 public:
  struct Options {
    bool checkable = false;
    bool redUnknownRows = false;      // rows whose first column is "未知" are drawn in red
    const IconList* icons = nullptr;  // shows each row's image when set
  };

  RowListModel(QStringList captions, Options options, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // Rows visible and queued.
  int count() const;
  // A copy of the row, its texts made QStrings again.
  ListRow row(int row) const;
  QString text(int row, int column) const;
  bool isChecked(int row) const;

  // Appends a row visible at once and returns its index.
  int appendRow(ListRow row);
  // Queues a row; it becomes visible at the next flush.
  void queueRow(const ListRow& row);
  void flush();

  void setText(int row, int column, const QString& text);
  void setChecked(int row, bool checked);
  void deleteRow(int row);
  void clear();

  void checkAll();
  void uncheckAll();
  void invertChecks();

 private:
  struct StoredRow {
    uint32_t firstCell = 0;  // into m_cells
    int32_t imageIndex = -1;
    TextPool::Id key = TextPool::kEmpty;
    uint16_t cellCount = 0;
    bool checked = false;
  };

  StoredRow& rowAt(int row);
  const StoredRow& storedRow(int row) const;
  TextPool::Id cellId(const StoredRow& row, int column) const;
  void setCell(StoredRow& row, int column, TextPool::Id text);
  void store(StoredRow row, std::span<const TextPool::Id> cells);
  bool isRed(const StoredRow& row) const;
  void changeAllChecks(int mode);

  Options m_options;
  TextPool m_texts;
  std::vector<TextPool::Id> m_cells;
  std::vector<StoredRow> m_rows;  // the visible ones first, then the queued ones
  size_t m_visible = 0;
};

}  // namespace qinglan::gui
