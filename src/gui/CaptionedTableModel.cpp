#include "gui/CaptionedTableModel.h"

#include <utility>

namespace qinglan::gui {

CaptionedTableModel::CaptionedTableModel(QStringList captions, QObject* parent)
    : QAbstractTableModel(parent), m_captions(std::move(captions)) {}

QVariant CaptionedTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
    return {};
  return caption(section);
}

void CaptionedTableModel::setCaption(int column, const QString& caption) {
  if (column < 0 || column >= m_captions.size() || m_captions.at(column) == caption)
    return;
  m_captions[column] = caption;
  emit headerDataChanged(Qt::Horizontal, column, column);
}

}  // namespace qinglan::gui
