#include "platform/SharedLibrary.h"

namespace qinglan::platform {

// Nothing on this system loads a library at run time yet.
SharedLibrary SharedLibrary::load(const std::string& fileName) {
  throw SharedLibraryError("loading " + fileName + " is not available on this platform");
}

void* SharedLibrary::symbol(const char*) const {
  return nullptr;
}

}  // namespace qinglan::platform
