#pragma once

#include <QAbstractTableModel>
#include <QStringList>

namespace qinglan::gui {

// A table whose horizontal header shows one caption per column, which the window may change (the
// first column's caption counts the rows).
class CaptionedTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit CaptionedTableModel(QStringList captions, QObject* parent = nullptr);

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  QString caption(int column) const { return m_captions.value(column); }
  void setCaption(int column, const QString& caption);
  int captionCount() const { return static_cast<int>(m_captions.size()); }

 private:
  QStringList m_captions;
};

}  // namespace qinglan::gui
