#include <QFileInfo>

#include "gui/ShellActions.h"
#include "gui/frmmain.h"

namespace qinglan::gui {

void TForm1::bsSkinButton1Click() {}

void TForm1::bntCleanClick() {}

void TForm1::ListView1Click() {}

void TForm1::N7Click() {
  const int row = ListView1()->selectedRow();
  if (row < 0)
    return;
  const RowListModel* rows = ListView1()->rows();
  const QString location = rows->text(row, 1);
  const QString path = location + rows->text(row, 0);
  // A finding that still exists is shown selected; one that has gone meanwhile leaves its folder to open.
  if (QFileInfo::exists(path))
    shellActions().showInFileManager(path);
  else if (QFileInfo(location).isDir())
    shellActions().openFolder(location);
}

void TForm1::bsSkinButton8Click() {}

void TForm1::bsSkinButton10Click() {}

void TForm1::bsSkinButton9Click() {}

}  // namespace qinglan::gui
