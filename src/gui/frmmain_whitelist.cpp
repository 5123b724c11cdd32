#include <QPushButton>

#include "gui/FlagScope.h"
#include "gui/MessageBoxes.h"
#include "gui/frmmain.h"
#include "platform/IniFile.h"
#include "whitelist/Whitelist.h"

namespace qinglan::gui {

void TForm1::N5Click() {
  const int row = ListView2()->selectedRow();
  if (row < 0)
    return;
  RowListModel* rows = ListView2()->rows();
  if (!whitelist().add(resourceIdOf(*rows, row), rows->text(row, 0).toStdString())) {
    showPromptWarning(this, QStringLiteral("这个软件的ID无法原样保存在白名单中,没有加入白名单。"));
    return;
  }
  rows->deleteRow(row);
  setResourceCounter();
}

void TForm1::bsSkinButton7Click() {
  // Activating the page during a refresh's pump must not start a second refresh inside it.
  if (m_refreshingWhitelist)
    return;
  FlagScope refreshing(m_refreshingWhitelist);

  RowListModel* rows = ListView3()->rows();
  rows->clear();
  for (const WhitelistEntry& entry : whitelist().entries()) {
    rows->appendRow({.cells = {QString::fromStdString(entry.name), QString::fromStdString(entry.id)}});
    pump();
  }
  setWhitelistCounter();
}

void TForm1::bsSkinButton3Click() {
  const int row = ListView3()->selectedRow();
  if (row < 0)
    return;
  RowListModel* rows = ListView3()->rows();
  whitelist().remove(rows->text(row, 1).toStdString());
  rows->deleteRow(row);
  setWhitelistCounter();
}

void TForm1::bsSkinButton6Click() {
  try {
    whitelist().clear();
  } catch (const platform::IniWriteError&) {
    // Entries the file still holds stay in force: show them as they are.
    showPromptWarning(this, QStringLiteral("无法写入白名单文件,白名单没有清空。"));
    bsSkinButton7Click();
    return;
  }
  ListView3()->rows()->clear();
  setWhitelistCounter();
}

}  // namespace qinglan::gui
