#include "gui/frmmain.h"

namespace qinglan::gui {

void TForm1::bsSkinButton11Click() {}

void TForm1::MenuItem4Click() {}

void TForm1::N11Click() {}

void TForm1::Label13Click() {}

void TForm1::WebBrowser1DocumentComplete() {}

}  // namespace qinglan::gui
