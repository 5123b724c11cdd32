#include "gui/ManualWindow.h"

#include <utility>

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace qinglan::gui {

ManualWindow::ManualWindow(std::function<void(QWidget*)> showAbout, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("ManualWindow"));
  setWindowTitle(QStringLiteral("晴岚清扫助手 使用说明"));
  resize(640, 560);

  m_browser = new QTextBrowser(this);
  m_browser->setObjectName(QStringLiteral("ManualText"));
  m_browser->setOpenExternalLinks(true);
  m_browser->setSource(QUrl(QStringLiteral("qrc:/manual.html")));

  auto* buttons = new QDialogButtonBox(this);
  m_aboutButton = buttons->addButton(QStringLiteral("关于"), QDialogButtonBox::ActionRole);
  QPushButton* close = buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
  close->setDefault(true);
  connect(m_aboutButton, &QPushButton::clicked, this,
          [this, showAbout = std::move(showAbout)] { showAbout(this); });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_browser);
  layout->addWidget(buttons);
  m_browser->setFocus();
}

}  // namespace qinglan::gui
