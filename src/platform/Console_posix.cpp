#include "platform/Console.h"

#include <unistd.h>

namespace qinglan::platform {

bool errorStreamIsTerminal() {
  return ::isatty(STDERR_FILENO) == 1;
}

}  // namespace qinglan::platform
