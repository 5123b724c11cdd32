#include "gui/RowListModel.h"

#include <algorithm>
#include <utility>

#include <QColor>

#include "gui/IconList.h"

namespace qinglan::gui {

namespace {

enum CheckMode { kCheck, kUncheck, kInvert };

constexpr size_t kMaxCells = 1000;
constexpr std::string_view kUnknownName = "未知";

QString textOf(const TextPool& texts, TextPool::Id id) {
  const std::string_view utf8 = texts.view(id);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

TextPool::Id intern(TextPool& texts, const QString& text) {
  if (text.isEmpty())
    return TextPool::kEmpty;
  const QByteArray utf8 = text.toUtf8();
  return texts.intern(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

}  // namespace

QString counterCaption(const QString& prefix, int rowCount) {
  return prefix + QLatin1Char('[') + QString::number(rowCount) + QLatin1Char(']');
}

RowListModel::RowListModel(QStringList captions, Options options, QObject* parent)
    : CaptionedTableModel(std::move(captions), parent), m_options(options) {}

int RowListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_visible);
}

int RowListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : captionCount();
}

QVariant RowListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount())
    return {};
  const StoredRow& row = m_rows[static_cast<size_t>(index.row())];
  const bool first = index.column() == 0;
  switch (role) {
    case Qt::DisplayRole:
      return textOf(m_texts, cellId(row, index.column()));
    case Qt::CheckStateRole:
      if (first && m_options.checkable)
        return row.checked ? Qt::Checked : Qt::Unchecked;
      return {};
    case Qt::DecorationRole:
      if (first && m_options.icons != nullptr && row.imageIndex >= 0)
        return m_options.icons->icon(row.imageIndex);
      return {};
    case Qt::ForegroundRole:
      if (!m_options.redUnknownRows)
        return {};
      return isRed(row) ? QColor(255, 0, 0) : QColor(0, 0, 0);
    default:
      return {};
  }
}

bool RowListModel::isRed(const StoredRow& row) const {
  return m_options.redUnknownRows && m_texts.view(cellId(row, 0)) == kUnknownName;
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
    listed.cells.append(textOf(m_texts, m_cells[stored.firstCell + column]));
  listed.checked = stored.checked;
  listed.imageIndex = stored.imageIndex;
  listed.key = m_texts.view(stored.key);
  return listed;
}

QString RowListModel::text(int row, int column) const {
  return textOf(m_texts, cellId(storedRow(row), column));
}

bool RowListModel::isChecked(int row) const {
  return storedRow(row).checked;
}

void RowListModel::store(StoredRow row, std::span<const TextPool::Id> cells) {
  row.firstCell = static_cast<uint32_t>(m_cells.size());
  row.cellCount = static_cast<uint16_t>(std::min<size_t>(cells.size(), kMaxCells));
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
    cells.push_back(intern(m_texts, cell));
  StoredRow stored;
  stored.imageIndex = row.imageIndex;
  stored.key = m_texts.intern(std::string_view(row.key));
  stored.checked = row.checked;
  store(stored, cells);
}

void RowListModel::flush() {
  if (m_visible == m_rows.size())
    return;
  beginInsertRows({}, static_cast<int>(m_visible), static_cast<int>(m_rows.size()) - 1);
  m_visible = m_rows.size();
  endInsertRows();
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
  setCell(rowAt(row), column, intern(m_texts, text));
  emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole});
  if (column == 0 && m_options.redUnknownRows)
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
  m_visible = 0;
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
