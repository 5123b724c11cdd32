#include "gui/HomePage.h"

#include <QPalette>
#include <QVBoxLayout>

namespace qinglan::gui {

HomePage::HomePage(QWidget* parent) : QWidget(parent), m_webBrowser1(new QWidget(this)) {
  m_webBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
  m_webBrowser1->setAutoFillBackground(true);
  QPalette blank = m_webBrowser1->palette();
  blank.setColor(QPalette::Window, Qt::white);
  m_webBrowser1->setPalette(blank);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_webBrowser1);
}

}  // namespace qinglan::gui
