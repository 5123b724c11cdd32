#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QStringList>

#include "gui/TextPool.h"
#include "platform/ScanRoot.h"

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
  platform::FindingOrigin origin{};  // a finding's row: where its scan listed it
  // What a sortable list orders its size and date columns by: bytes (-1 for a folder) and the
  // date-time, which the cells show only rounded.
  int64_t bytes = -1;
  double time = 0;
  size_t serial = 0;          // the order it was added in, set by the model
  std::string scanItem = {};  // a finding's scan item, for the junk summary
};

// A row handed over as UTF-8 texts, which the model stores without making a QString of each:
// the way a scan's findings arrive, by the hundred thousand. The rest is as in ListRow.
struct Utf8ListRow {
  std::span<const std::string_view> cells;
  bool checked = false;
  const platform::FindingOrigin* origin = nullptr;
  int64_t bytes = -1;
  double time = 0;
  std::string_view scanItem = {};
};

// The rows of one list view. Rows may be queued and made visible in one insertion at the next
// flush, so that hundreds of thousands of findings stay fast; the whole-list check commands emit a
// single change for all rows. A sortable model reorders its rows in place, so a row index is always
// the row the user sees; clearing it returns to the order the rows were added in. Each row is kept
// compact: its texts live once each in a pool, and become QStrings only when asked for.
class RowListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  struct Options {
    bool checkable = false;
    bool redUnknownRows = false;      // rows whose first column is "未知" are drawn in red
    const IconList* icons = nullptr;  // shows each row's image when set
    int statusColumn = -1;            // rows whose status reads "清理失败" are drawn in red
    bool sortable = false;
    int sizeColumn = -1;  // sorted by each row's bytes
    int dateColumn = -1;  // sorted by each row's time; the other columns by their text
  };

  RowListModel(QStringList captions, Options options, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // Column -1 gives the order the rows were added in. Rows of equal keys keep that order.
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
  int sortColumn() const { return m_sortColumn; }

  QString caption(int column) const;
  void setCaption(int column, const QString& caption);

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
  void queueRow(const Utf8ListRow& row);
  void flush();
  // Flushes unless the list is long and was flushed a moment ago: a view lays all its rows out
  // again at each insertion, so the longer the list, the longer the queue waits (a million rows
  // about half a second), and a scan's pumps do not spend its time laying out the list.
  void flushSoon();

  void setText(int row, int column, const QString& text);
  void setChecked(int row, bool checked);
  void deleteRow(int row);
  void clear();

  void checkAll();
  void uncheckAll();
  void invertChecks();

 signals:
  // After a sort: the new index of each row, by its index before.
  void rowsReordered(const std::vector<int>& newRowOfOld);

 private:
  struct StoredRow {
    uint32_t firstCell = 0;  // into m_cells
    uint32_t serial = 0;
    int32_t imageIndex = -1;
    TextPool::Id key = TextPool::kEmpty;
    TextPool::Id scanItem = TextPool::kEmpty;
    uint32_t place = 0;  // into m_places
    uint16_t cellCount = 0;
    bool checked = false;
    int64_t bytes = -1;
    double time = 0;
    uint64_t inode = 0;
  };
  // What findings share of their origin: the root they were listed under, the device and the type.
  struct Place {
    std::shared_ptr<const platform::ScanRoot> root;
    uint64_t device = 0;
    uint32_t type = 0;
  };

  StoredRow& rowAt(int row);
  const StoredRow& storedRow(int row) const;
  TextPool::Id cellId(const StoredRow& row, int column) const;
  void setCell(StoredRow& row, int column, TextPool::Id text);
  uint32_t placeOf(const platform::FindingOrigin& origin);
  void store(StoredRow row, std::span<const TextPool::Id> cells);
  bool isRed(const StoredRow& row) const;
  void changeAllChecks(int mode);
  std::vector<int> sortedOrder(int column, Qt::SortOrder order) const;
  void applyOrder(const std::vector<int>& order);

  QStringList m_captions;
  Options m_options;
  TextPool m_texts;
  std::vector<TextPool::Id> m_cells;
  std::vector<StoredRow> m_rows;  // the visible ones first, then the queued ones
  size_t m_visible = 0;
  QElapsedTimer m_sinceFlush;
  std::vector<Place> m_places;  // [0]: no origin
  std::map<std::tuple<const platform::ScanRoot*, uint64_t, uint32_t>, uint32_t> m_placeIndex;
  uint32_t m_nextSerial = 0;
  int m_sortColumn = -1;
};

}  // namespace qinglan::gui
