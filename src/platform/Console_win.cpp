#include "platform/Console.h"

#include <windows.h>

namespace qinglan::platform {

bool errorStreamIsTerminal() {
  const HANDLE stream = ::GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  return stream != nullptr && stream != INVALID_HANDLE_VALUE && ::GetFileType(stream) == FILE_TYPE_CHAR &&
         ::GetConsoleMode(stream, &mode) != 0;
}

}  // namespace qinglan::platform
