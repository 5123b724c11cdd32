#include "platform/SharedLibrary.h"

#include <dlfcn.h>

namespace qinglan::platform {

SharedLibrary SharedLibrary::load(const std::string& fileName) {
  void* const handle = ::dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr)
    throw SharedLibraryError(::dlerror());
  return SharedLibrary(handle);
}

void* SharedLibrary::symbol(const char* name) const {
  return ::dlsym(m_handle, name);
}

}  // namespace qinglan::platform
