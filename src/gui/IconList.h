#pragma once

#include <QIcon>
#include <QList>
#include <QString>

namespace qinglan::gui {

// The shared image list of the resource lists: index 0 is the default icon, every resource icon
// appended after it. Indices stay valid until the next reset.
class IconList {
 public:
  IconList();

  // Back to the default icon alone.
  void reset();
  // Appends an icon and returns its index.
  int add(const QIcon& icon);
  // The icon at the index; a null icon out of range.
  QIcon icon(int index) const;
  int count() const { return static_cast<int>(m_icons.size()); }

  static QIcon defaultIcon();

 private:
  QList<QIcon> m_icons;
};

// The first icon of an icon file; a null icon when the file is missing or is no icon file.
QIcon loadIconFile(const QString& fileName);

}  // namespace qinglan::gui
