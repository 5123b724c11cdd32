#include "gui/RowListModel.h"

#include <algorithm>
#include <iterator>
#include <numeric>
#include <utility>

#include <QCollator>
#include <QCollatorSortKey>
#include <QColor>
#include <QHash>
#include <QLocale>

#include "gui/IconList.h"

namespace qinglan::gui {

namespace {

enum CheckMode { kCheck, kUncheck, kInvert };

QString unknownName() {
  return QStringLiteral("未知");
}

QString failedStatus() {
  return QStringLiteral("清理失败");
}

// The interface is Simplified Chinese, so text sorts as a reader of it expects (by pinyin).
const QCollator& interfaceCollator() {
  static const QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
  return collator;
}

// The rank of each text among the distinct texts in collation order: findings share locations
// and names, so each distinct text is collated once and the rows then compare integers.
std::vector<int> collationRanks(const std::vector<ListRow>& rows, int column) {
  QHash<QString, int> distinctIndex;
  std::vector<int> distinctOfRow(rows.size());
  std::vector<QCollatorSortKey> keys;
  for (size_t row = 0; row < rows.size(); ++row) {
    const QString text = rows[row].cells.value(column);
    auto found = distinctIndex.constFind(text);
    if (found == distinctIndex.constEnd()) {
      found = distinctIndex.insert(text, static_cast<int>(keys.size()));
      keys.push_back(interfaceCollator().sortKey(text));
    }
    distinctOfRow[row] = found.value();
  }
  std::vector<int> byText(keys.size());
  std::iota(byText.begin(), byText.end(), 0);
  std::sort(byText.begin(), byText.end(), [&keys](int a, int b) { return keys[a].compare(keys[b]) < 0; });
  std::vector<int> rankOfDistinct(keys.size());
  for (size_t rank = 0; rank < byText.size(); ++rank)
    rankOfDistinct[static_cast<size_t>(byText[rank])] = static_cast<int>(rank);
  std::vector<int> ranks(rows.size());
  for (size_t row = 0; row < rows.size(); ++row)
    ranks[row] = rankOfDistinct[static_cast<size_t>(distinctOfRow[row])];
  return ranks;
}

// The rows' positions ordered by a key, equal keys in the order the rows were added.
template <typename Key>
std::vector<int> orderBy(const std::vector<ListRow>& rows, const std::vector<Key>& keys,
                         Qt::SortOrder order) {
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
    : QAbstractTableModel(parent), m_captions(std::move(captions)), m_options(options) {}

int RowListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int RowListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_captions.size());
}

QVariant RowListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount())
    return {};
  const ListRow& row = m_rows[static_cast<size_t>(index.row())];
  const bool first = index.column() == 0;
  switch (role) {
    case Qt::DisplayRole:
      return index.column() < row.cells.size() ? row.cells.at(index.column()) : QString();
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

bool RowListModel::isRed(const ListRow& row) const {
  if (m_options.redUnknownRows && row.cells.value(0) == unknownName())
    return true;
  return m_options.statusColumn >= 0 && row.cells.value(m_options.statusColumn) == failedStatus();
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
    for (const ListRow& row : m_rows)
      bytes.push_back(row.bytes);
    return orderBy(m_rows, bytes, order);
  }
  if (column == m_options.dateColumn) {
    std::vector<double> times;
    times.reserve(m_rows.size());
    for (const ListRow& row : m_rows)
      times.push_back(row.time);
    return orderBy(m_rows, times, order);
  }
  if (column < 0) {
    std::vector<size_t> serials;
    serials.reserve(m_rows.size());
    for (const ListRow& row : m_rows)
      serials.push_back(row.serial);
    return orderBy(m_rows, serials, Qt::AscendingOrder);
  }
  return orderBy(m_rows, collationRanks(m_rows, column), order);
}

void RowListModel::applyOrder(const std::vector<int>& order) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  std::vector<int> newRowOfOld(order.size());
  std::vector<ListRow> rows;
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
  return static_cast<int>(m_rows.size() + m_queued.size());
}

const ListRow& RowListModel::row(int row) const {
  const size_t index = static_cast<size_t>(row);
  return index < m_rows.size() ? m_rows[index] : m_queued.at(index - m_rows.size());
}

QString RowListModel::text(int row, int column) const {
  return this->row(row).cells.value(column);
}

bool RowListModel::isChecked(int row) const {
  return this->row(row).checked;
}

int RowListModel::appendRow(ListRow row) {
  flush();
  const int index = rowCount();
  row.serial = m_nextSerial++;
  beginInsertRows({}, index, index);
  m_rows.push_back(std::move(row));
  endInsertRows();
  return index;
}

void RowListModel::queueRow(ListRow row) {
  row.serial = m_nextSerial++;
  m_queued.push_back(std::move(row));
}

void RowListModel::flush() {
  if (m_queued.empty())
    return;
  const int first = rowCount();
  beginInsertRows({}, first, first + static_cast<int>(m_queued.size()) - 1);
  m_rows.insert(m_rows.end(), std::make_move_iterator(m_queued.begin()),
                std::make_move_iterator(m_queued.end()));
  m_queued.clear();
  endInsertRows();
}

ListRow& RowListModel::rowAt(int row) {
  flush();
  return m_rows.at(static_cast<size_t>(row));
}

void RowListModel::setText(int row, int column, const QString& text) {
  ListRow& target = rowAt(row);
  while (target.cells.size() <= column)
    target.cells.append(QString());
  target.cells[column] = text;
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
  endRemoveRows();
}

void RowListModel::clear() {
  beginResetModel();
  m_rows.clear();
  m_queued.clear();
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
  for (ListRow& row : m_rows)
    row.checked = mode == kInvert ? !row.checked : mode == kCheck;
  emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}

}  // namespace qinglan::gui
