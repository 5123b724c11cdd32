#pragma once

#include <stdexcept>
#include <string>

namespace qinglan::platform {

// Raised when a shared library cannot be loaded; the text is the system's reason.
class SharedLibraryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A shared library loaded at run time by its file name. It is never unloaded: the library's own
// state may outlive every object that used it.
class SharedLibrary {
 public:
  // Loads the library with every symbol resolved at once; raises SharedLibraryError.
  static SharedLibrary load(const std::string& fileName);

  // The address of the named symbol, null when the library has none.
  void* symbol(const char* name) const;

 private:
  explicit SharedLibrary(void* handle) : m_handle(handle) {}

  void* m_handle;
};

}  // namespace qinglan::platform
