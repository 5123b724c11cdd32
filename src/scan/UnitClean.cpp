#include "scan/UnitClean.h"

#include "platform/Remover.h"

namespace qinglan {

bool ShellDeletePath(const std::string& path) {
  return ShellDeletePath(path, platform::Remover::system());
}

bool ShellDeletePath(const std::string& path, platform::Remover& remover) {
  return remover.remove(path);
}

bool ShellDeletePath(const std::string& path, const platform::FindingOrigin& origin,
                     platform::Remover& remover) {
  return remover.removeFinding(path, origin);
}

}  // namespace qinglan
