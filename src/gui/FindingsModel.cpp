#include "gui/FindingsModel.h"

#include <algorithm>
#include <numeric>

#include <QColor>

#include "gui/TextCollation.h"

namespace qinglan::gui {

namespace {

constexpr std::string_view kUnknownName = "未知";

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QStringList captionsOfColumns() {
  QStringList captions;
  for (const ResultsColumnInfo& column : kResultsColumns)
    captions.append(fromUtf8(column.caption));
  return captions;
}

// The rows' positions ordered by a key, equal keys in the order the rows were added.
template <typename Key>
std::vector<int> orderBy(const Findings& findings, const std::vector<Key>& keys, Qt::SortOrder order) {
  std::vector<int> positions(keys.size());
  std::iota(positions.begin(), positions.end(), 0);
  const bool descending = order == Qt::DescendingOrder;
  std::sort(positions.begin(), positions.end(), [&](int a, int b) {
    const Key& left = keys[static_cast<size_t>(a)];
    const Key& right = keys[static_cast<size_t>(b)];
    if (left != right)
      return descending ? right < left : left < right;
    return findings.serial(static_cast<size_t>(a)) < findings.serial(static_cast<size_t>(b));
  });
  return positions;
}

}  // namespace

FindingsModel::FindingsModel(Findings& findings, QObject* parent)
    : CaptionedTableModel(captionsOfColumns(), parent), m_findings(findings) {}

int FindingsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_visible);
}

int FindingsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(kResultsColumnCount);
}

QVariant FindingsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
    return {};
  const auto row = static_cast<size_t>(index.row());
  switch (role) {
    case Qt::DisplayRole:
      return fromUtf8(m_findings.text(row, kResultsColumns[static_cast<size_t>(index.column())].id));
    case Qt::CheckStateRole:
      if (index.column() == 0)
        return m_findings.isChecked(row) ? Qt::Checked : Qt::Unchecked;
      return {};
    case Qt::ForegroundRole:
      if (isRed(row))
        return QColor(255, 0, 0);
      // Listed but left alone unless the user checks it by hand.
      return m_findings.text(row, ResultsColumn::Status) == kRecentStatus ? QColor(128, 128, 128)
                                                                          : QColor(0, 0, 0);
    default:
      return {};
  }
}

bool FindingsModel::isRed(size_t row) const {
  return m_findings.text(row, ResultsColumn::Name) == kUnknownName ||
         m_findings.text(row, ResultsColumn::Status) == kCleanFailedStatus;
}

bool FindingsModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::CheckStateRole || !index.isValid() || index.column() != 0 || index.row() >= rowCount())
    return false;
  m_findings.setChecked(static_cast<size_t>(index.row()), value.value<Qt::CheckState>() == Qt::Checked);
  emit dataChanged(index, index, {Qt::CheckStateRole});
  return true;
}

Qt::ItemFlags FindingsModel::flags(const QModelIndex& index) const {
  if (!index.isValid())
    return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  if (index.column() == 0)
    flags |= Qt::ItemIsUserCheckable;
  return flags;
}

QVariant FindingsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::InitialSortOrderRole)
    return Qt::AscendingOrder;
  return CaptionedTableModel::headerData(section, orientation, role);
}

void FindingsModel::sort(int column, Qt::SortOrder order) {
  flush();
  m_sortColumn = column < 0 || column >= columnCount() ? -1 : column;
  if (m_findings.count() > 1)
    applyOrder(sortedOrder(m_sortColumn, order));
}

std::vector<int> FindingsModel::sortedOrder(int column, Qt::SortOrder order) const {
  const size_t rows = m_findings.count();
  if (column < 0) {
    std::vector<uint32_t> serials;
    serials.reserve(rows);
    for (size_t row = 0; row < rows; ++row)
      serials.push_back(m_findings.serial(row));
    return orderBy(m_findings, serials, Qt::AscendingOrder);
  }
  const ResultsColumnInfo& info = kResultsColumns[static_cast<size_t>(column)];
  if (info.order == ColumnOrder::Bytes) {
    // Folders, which have no size, come before every file.
    std::vector<int64_t> bytes;
    bytes.reserve(rows);
    for (size_t row = 0; row < rows; ++row)
      bytes.push_back(m_findings.isFolder(row) ? -1 : m_findings.size(row));
    return orderBy(m_findings, bytes, order);
  }
  if (info.order == ColumnOrder::Time) {
    std::vector<double> times;
    times.reserve(rows);
    for (size_t row = 0; row < rows; ++row)
      times.push_back(m_findings.creationTime(row));
    return orderBy(m_findings, times, order);
  }
  // Findings share locations and dates, and the pool holds each text once: each distinct text is
  // ranked once and the rows then compare integers.
  const TextPool& pool = m_findings.texts();
  std::vector<TextPool::Id> texts;
  std::vector<bool> seen(pool.size(), false);
  for (size_t row = 0; row < rows; ++row) {
    const TextPool::Id id = m_findings.textId(row, info.id);
    if (!seen[id]) {
      seen[id] = true;
      texts.push_back(id);
    }
  }
  const std::vector<int> rankOfText = collationRanks(pool, texts);
  std::vector<int> ranks;
  ranks.reserve(rows);
  for (size_t row = 0; row < rows; ++row)
    ranks.push_back(rankOfText[m_findings.textId(row, info.id)]);
  return orderBy(m_findings, ranks, order);
}

void FindingsModel::applyOrder(const std::vector<int>& order) {
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  std::vector<int> newRowOfOld(order.size());
  for (size_t position = 0; position < order.size(); ++position)
    newRowOfOld[static_cast<size_t>(order[position])] = static_cast<int>(position);
  m_findings.reorder(order);
  const QModelIndexList from = persistentIndexList();
  QModelIndexList to;
  to.reserve(from.size());
  for (const QModelIndex& index : from)
    to.append(this->index(newRowOfOld[static_cast<size_t>(index.row())], index.column()));
  changePersistentIndexList(from, to);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
  emit rowsReordered(newRowOfOld);
}

int FindingsModel::count() const {
  return static_cast<int>(m_findings.count());
}

QString FindingsModel::text(int row, int column) const {
  if (column < 0 || column >= columnCount())
    return {};
  return fromUtf8(m_findings.text(static_cast<size_t>(row), kResultsColumns[static_cast<size_t>(column)].id));
}

bool FindingsModel::isChecked(int row) const {
  return m_findings.isChecked(static_cast<size_t>(row));
}

void FindingsModel::setChecked(int row, bool checked) {
  flush();
  m_findings.setChecked(static_cast<size_t>(row), checked);
  emit dataChanged(index(row, 0), index(row, 0), {Qt::CheckStateRole});
}

void FindingsModel::setStatus(int row, std::string_view status) {
  flush();
  m_findings.setStatus(static_cast<size_t>(row), status);
  // The colour of the whole row follows the status.
  emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void FindingsModel::flush() {
  if (m_visible == m_findings.count())
    return;
  beginInsertRows({}, static_cast<int>(m_visible), static_cast<int>(m_findings.count()) - 1);
  m_visible = m_findings.count();
  endInsertRows();
  m_sinceFlush.start();
}

void FindingsModel::flushSoon() {
  constexpr size_t kRowsPerMillisecondOfWait = 2000;
  const auto wait = static_cast<qint64>(m_visible / kRowsPerMillisecondOfWait);
  if (wait == 0 || !m_sinceFlush.isValid() || m_sinceFlush.hasExpired(wait))
    flush();
}

void FindingsModel::clear() {
  beginResetModel();
  m_findings.clear();
  m_visible = 0;
  m_sortColumn = -1;
  endResetModel();
}

void FindingsModel::checkAll() {
  flush();
  m_findings.setAllChecked(true);
  checksChanged();
}

void FindingsModel::uncheckAll() {
  flush();
  m_findings.setAllChecked(false);
  checksChanged();
}

void FindingsModel::invertChecks() {
  flush();
  m_findings.invertChecks();
  checksChanged();
}

void FindingsModel::checksChanged() {
  if (m_visible > 0)
    emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}

}  // namespace qinglan::gui
