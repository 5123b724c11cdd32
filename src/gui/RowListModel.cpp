#include "gui/RowListModel.h"

#include <algorithm>
#include <numeric>
#include <utility>

#include <QColor>

#include "gui/IconList.h"
#include "gui/TextCollation.h"

namespace qinglan::gui {

namespace {

enum CheckMode { kCheck, kUncheck, kInvert };

constexpr size_t kMaxCells = 1000;
constexpr std::string_view kUnknownName = "未知";
constexpr std::string_view kFailedStatus = "清理失败";

// The rows' positions ordered by a key, equal keys in the order the rows were added.
template <typename Row, typename Key>
std::vector<int> orderBy(const std::vector<Row>& rows, const std::vector<Key>& keys, Qt::SortOrder order) {
  std::vector<int> positions(rows.size());
  std::iota(positions.begin(), positions.end(), 0);
  const bool descending = order == Qt::DescendingOrder;
  std::sort(positions.begin(), positions.end(), [&](int a, int b) {
    const Key& left = keys[static_cast<size_t>(a)];
    const Key& right = keys[static_cast<size_t>(b)];
    if (left != right)
      return descending ? right < left : left < right;
    return rows[static_cast<size_t>(a)].serial < rows[static_cast<size_t>(b)].serial;
  });
  return positions;
}

}  // namespace

QString counterCaption(const QString& prefix, int rowCount) {
  return prefix + QLatin1Char('[') + QString::number(rowCount) + QLatin1Char(']');
}

RowListModel::RowListModel(QStringList captions, Options options, QObject* parent)
    : QAbstractTableModel(parent), m_captions(std::move(captions)), m_options(options), m_places(1) {}

int RowListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_visible);
}

int RowListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_captions.size());
}

QVariant RowListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount())
    return {};
  const StoredRow& row = m_rows[static_cast<size_t>(index.row())];
  const bool first = index.column() == 0;
  switch (role) {
    case Qt::DisplayRole:
      return m_texts.text(cellId(row, index.column()));
    case Qt::CheckStateRole:
      if (first && m_options.checkable)
        return row.checked ? Qt::Checked : Qt::Unchecked;
      return {};
    case Qt::DecorationRole:
      if (first && m_options.icons != nullptr && row.imageIndex >= 0)
        return m_options.icons->icon(row.imageIndex);
      return {};
    case Qt::ForegroundRole:
      if (!m_options.redUnknownRows && m_options.statusColumn < 0)
        return {};
      return isRed(row) ? QColor(255, 0, 0) : QColor(0, 0, 0);
    default:
      return {};
  }
}

bool RowListModel::isRed(const StoredRow& row) const {
  if (m_options.redUnknownRows && m_texts.view(cellId(row, 0)) == kUnknownName)
    return true;
  return m_options.statusColumn >= 0 && m_texts.view(cellId(row, m_options.statusColumn)) == kFailedStatus;
}

bool RowListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::CheckStateRole || !m_options.checkable || !index.isValid() || index.column() != 0)
    return false;
  m_rows[static_cast<size_t>(index.row())].checked = value.value<Qt::CheckState>() == Qt::Checked;
  emit dataChanged(index, index, {Qt::CheckStateRole});
  return true;
}

Qt::ItemFlags RowListModel::flags(const QModelIndex& index) const {
  if (!index.isValid())
    return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  if (m_options.checkable && index.column() == 0)
    flags |= Qt::ItemIsUserCheckable;
  return flags;
}

QVariant RowListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal)
    return {};
  if (role == Qt::InitialSortOrderRole && m_options.sortable)
    return Qt::AscendingOrder;
  if (role != Qt::DisplayRole)
    return {};
  return caption(section);
}

void RowListModel::sort(int column, Qt::SortOrder order) {
  if (!m_options.sortable)
    return;
  flush();
  m_sortColumn = column < 0 || column >= columnCount() ? -1 : column;
  if (m_rows.size() > 1)
    applyOrder(sortedOrder(m_sortColumn, order));
}

std::vector<int> RowListModel::sortedOrder(int column, Qt::SortOrder order) const {
  if (column == m_options.sizeColumn) {
    std::vector<int64_t> bytes;
    bytes.reserve(m_rows.size());
    for (const StoredRow& row : m_rows)
      bytes.push_back(row.bytes);
    return orderBy(m_rows, bytes, order);
  }
  if (column == m_options.dateColumn) {
    std::vector<double> times;
    times.reserve(m_rows.size());
    for (const StoredRow& row : m_rows)
      times.push_back(row.time);
    return orderBy(m_rows, times, order);
  }
  if (column < 0) {
    std::vector<uint32_t> serials;
    serials.reserve(m_rows.size());
    for (const StoredRow& row : m_rows)
      serials.push_back(row.serial);
    return orderBy(m_rows, serials, Qt::AscendingOrder);
  }
  // Findings share locations and dates, and the pool holds each text once: each distinct text is
  // ranked once and the rows then compare integers.
  std::vector<TextPool::Id> texts;
  std::vector<bool> seen(m_texts.size(), false);
  for (const StoredRow& row : m_rows) {
    const TextPool::Id id = cellId(row, column);
    if (!seen[id]) {
      seen[id] = true;
      texts.push_back(id);
    }
  }
  const std::vector<int> rankOfText = collationRanks(m_texts, texts);
  std::vector<int> ranks;
  ranks.reserve(m_rows.size());
  for (const StoredRow& row : m_rows)
    ranks.push_back(rankOfText[cellId(row, column)]);
  return orderBy(m_rows, ranks, order);
}

void RowListModel::applyOrder(const std::vector<int>& order) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  std::vector<int> newRowOfOld(order.size());
  std::vector<StoredRow> rows;
  rows.reserve(order.size());
  for (size_t position = 0; position < order.size(); ++position) {
    newRowOfOld[static_cast<size_t>(order[position])] = static_cast<int>(position);
    rows.push_back(std::move(m_rows[static_cast<size_t>(order[position])]));
  }
  m_rows = std::move(rows);
  const QModelIndexList from = persistentIndexList();
  QModelIndexList to;
  to.reserve(from.size());
  for (const QModelIndex& index : from)
    to.append(this->index(newRowOfOld[static_cast<size_t>(index.row())], index.column()));
  changePersistentIndexList(from, to);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
  emit rowsReordered(newRowOfOld);
}

QString RowListModel::caption(int column) const {
  return m_captions.value(column);
}

void RowListModel::setCaption(int column, const QString& caption) {
  if (column < 0 || column >= m_captions.size() || m_captions.at(column) == caption)
    return;
  m_captions[column] = caption;
  emit headerDataChanged(Qt::Horizontal, column, column);
}

int RowListModel::count() const {
  return static_cast<int>(m_rows.size());
}

const RowListModel::StoredRow& RowListModel::storedRow(int row) const {
  return m_rows.at(static_cast<size_t>(row));
}

TextPool::Id RowListModel::cellId(const StoredRow& row, int column) const {
  if (column < 0 || static_cast<uint32_t>(column) >= row.cellCount)
    return TextPool::kEmpty;
  return m_cells[row.firstCell + static_cast<uint32_t>(column)];
}

ListRow RowListModel::row(int row) const {
  const StoredRow& stored = storedRow(row);
  ListRow listed;
  for (uint32_t column = 0; column < stored.cellCount; ++column)
    listed.cells.append(m_texts.text(m_cells[stored.firstCell + column]));
  listed.checked = stored.checked;
  listed.imageIndex = stored.imageIndex;
  listed.key = m_texts.view(stored.key);
  const Place& place = m_places[stored.place];
  listed.origin = {place.root, {place.device, stored.inode, place.type}};
  listed.bytes = stored.bytes;
  listed.time = stored.time;
  listed.serial = stored.serial;
  listed.scanItem = m_texts.view(stored.scanItem);
  return listed;
}

QString RowListModel::text(int row, int column) const {
  return m_texts.text(cellId(storedRow(row), column));
}

bool RowListModel::isChecked(int row) const {
  return storedRow(row).checked;
}

uint32_t RowListModel::placeOf(const platform::FindingOrigin& origin) {
  if (origin.root == nullptr && origin.id.device == 0 && origin.id.type == 0)
    return 0;
  if (!m_rows.empty()) {
    const Place& previous = m_places[m_rows.back().place];
    if (previous.root == origin.root && previous.device == origin.id.device &&
        previous.type == origin.id.type)
      return m_rows.back().place;
  }
  const auto [found, added] = m_placeIndex.try_emplace({origin.root.get(), origin.id.device, origin.id.type},
                                                       static_cast<uint32_t>(m_places.size()));
  if (added)
    m_places.push_back({origin.root, origin.id.device, origin.id.type});
  return found->second;
}

void RowListModel::store(StoredRow row, std::span<const TextPool::Id> cells) {
  row.firstCell = static_cast<uint32_t>(m_cells.size());
  row.cellCount = static_cast<uint16_t>(std::min<size_t>(cells.size(), kMaxCells));
  row.serial = m_nextSerial++;
  m_cells.insert(m_cells.end(), cells.begin(), cells.begin() + row.cellCount);
  m_rows.push_back(row);
}

int RowListModel::appendRow(ListRow row) {
  flush();
  queueRow(row);
  const int index = rowCount();
  beginInsertRows({}, index, index);
  m_visible = m_rows.size();
  endInsertRows();
  return index;
}

void RowListModel::queueRow(const ListRow& row) {
  std::vector<TextPool::Id> cells;
  cells.reserve(static_cast<size_t>(row.cells.size()));
  for (const QString& cell : row.cells)
    cells.push_back(m_texts.intern(cell));
  StoredRow stored;
  stored.imageIndex = row.imageIndex;
  stored.key = m_texts.intern(std::string_view(row.key));
  stored.scanItem = m_texts.intern(std::string_view(row.scanItem));
  stored.place = placeOf(row.origin);
  stored.inode = row.origin.id.inode;
  stored.checked = row.checked;
  stored.bytes = row.bytes;
  stored.time = row.time;
  store(stored, cells);
}

void RowListModel::queueRow(const Utf8ListRow& row) {
  constexpr size_t kInlineCells = 8;
  TextPool::Id inlineCells[kInlineCells];
  std::vector<TextPool::Id> manyCells;
  std::span<TextPool::Id> cells(inlineCells, std::min(row.cells.size(), kInlineCells));
  if (row.cells.size() > kInlineCells) {
    manyCells.resize(row.cells.size());
    cells = manyCells;
  }
  // Findings come folder by folder: most of a row's texts are the row before's again, which a
  // compare tells sooner than the pool's look-up.
  const StoredRow* previous = m_rows.empty() ? nullptr : &m_rows.back();
  const auto intern = [&](std::string_view text, TextPool::Id previousId) {
    return m_texts.view(previousId) == text ? previousId : m_texts.intern(text);
  };
  for (size_t column = 0; column < cells.size(); ++column)
    cells[column] =
        intern(row.cells[column],
               previous == nullptr ? TextPool::kEmpty : cellId(*previous, static_cast<int>(column)));
  StoredRow stored;
  stored.scanItem = intern(row.scanItem, previous == nullptr ? TextPool::kEmpty : previous->scanItem);
  if (row.origin != nullptr) {
    stored.place = placeOf(*row.origin);
    stored.inode = row.origin->id.inode;
  }
  stored.checked = row.checked;
  stored.bytes = row.bytes;
  stored.time = row.time;
  store(stored, cells);
}

void RowListModel::flush() {
  if (m_visible == m_rows.size())
    return;
  beginInsertRows({}, static_cast<int>(m_visible), static_cast<int>(m_rows.size()) - 1);
  m_visible = m_rows.size();
  endInsertRows();
  m_sinceFlush.start();
}

void RowListModel::flushSoon() {
  constexpr size_t kRowsPerMillisecondOfWait = 2000;
  const auto wait = static_cast<qint64>(m_visible / kRowsPerMillisecondOfWait);
  if (wait == 0 || !m_sinceFlush.isValid() || m_sinceFlush.hasExpired(wait))
    flush();
}

RowListModel::StoredRow& RowListModel::rowAt(int row) {
  flush();
  return m_rows.at(static_cast<size_t>(row));
}

void RowListModel::setCell(StoredRow& row, int column, TextPool::Id text) {
  const auto wanted = static_cast<uint32_t>(column) + 1;
  if (wanted > row.cellCount) {
    // The row's cells move to the end, where there is room for more; the old ones stay unused.
    const auto first = static_cast<uint32_t>(m_cells.size());
    m_cells.resize(m_cells.size() + wanted, TextPool::kEmpty);
    std::copy_n(m_cells.begin() + row.firstCell, row.cellCount, m_cells.begin() + first);
    row.firstCell = first;
    row.cellCount = static_cast<uint16_t>(wanted);
  }
  m_cells[row.firstCell + static_cast<uint32_t>(column)] = text;
}

void RowListModel::setText(int row, int column, const QString& text) {
  if (column < 0 || static_cast<size_t>(column) >= kMaxCells)
    return;
  setCell(rowAt(row), column, m_texts.intern(text));
  emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole});
  if ((column == 0 && m_options.redUnknownRows) || column == m_options.statusColumn)
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void RowListModel::setChecked(int row, bool checked) {
  rowAt(row).checked = checked;
  emit dataChanged(index(row, 0), index(row, 0), {Qt::CheckStateRole});
}

void RowListModel::deleteRow(int row) {
  flush();
  if (row < 0 || row >= rowCount())
    return;
  beginRemoveRows({}, row, row);
  m_rows.erase(m_rows.begin() + row);
  m_visible = m_rows.size();
  endRemoveRows();
}

void RowListModel::clear() {
  beginResetModel();
  // Swapped out rather than cleared, so that a million rows give their memory back.
  std::vector<StoredRow>().swap(m_rows);
  std::vector<TextPool::Id>().swap(m_cells);
  m_texts.clear();
  m_places.resize(1);
  m_placeIndex.clear();
  m_visible = 0;
  m_nextSerial = 0;
  m_sortColumn = -1;
  endResetModel();
}

void RowListModel::checkAll() {
  changeAllChecks(kCheck);
}

void RowListModel::uncheckAll() {
  changeAllChecks(kUncheck);
}

void RowListModel::invertChecks() {
  changeAllChecks(kInvert);
}

void RowListModel::changeAllChecks(int mode) {
  flush();
  if (m_rows.empty())
    return;
  for (StoredRow& row : m_rows)
    row.checked = mode == kInvert ? !row.checked : mode == kCheck;
  emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}

}  // namespace qinglan::gui
