#include "gui/IconList.h"

#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QStyle>

namespace qinglan::gui {

IconList::IconList() {
  reset();
}

void IconList::reset() {
  m_icons.clear();
  m_icons.append(defaultIcon());
}

int IconList::add(const QIcon& icon) {
  m_icons.append(icon);
  return count() - 1;
}

QIcon IconList::icon(int index) const {
  if (index < 0 || index >= count())
    return {};
  return m_icons.at(index);
}

QIcon IconList::defaultIcon() {
  return QApplication::style()->standardIcon(QStyle::SP_FileIcon);
}

QIcon loadIconFile(const QString& fileName) {
  if (!QFileInfo(fileName).isFile()) return {};
  // Only the icon reader may decode it: an image of another kind named 0.ico is no icon.
  QImageReader reader(fileName, "ico");
  reader.setDecideFormatFromContent(false);
  reader.setAutoDetectImageFormat(false);
  const QImage image = reader.read();
  if (image.isNull())
    return {};
  return QIcon(QPixmap::fromImage(image));
}

}  // namespace qinglan::gui
