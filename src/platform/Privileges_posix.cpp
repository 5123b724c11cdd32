#include "platform/Privileges.h"

#include <unistd.h>

namespace qinglan::platform {

bool runsAsSuperuser() {
  return geteuid() == 0;
}

}  // namespace qinglan::platform
