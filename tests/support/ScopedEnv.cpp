#include "support/ScopedEnv.h"

#include <cstdlib>
#include <ctime>
#include <utility>

namespace qinglan::test {

namespace {

void assign(const std::string& name, const std::optional<std::string>& value) {
#ifdef _WIN32
  // An empty value removes the variable there; the runtime passes the change on to the system's copy.
  ::_putenv_s(name.c_str(), value ? value->c_str() : "");
  ::_tzset();
#else
  if (value) {
    ::setenv(name.c_str(), value->c_str(), 1);
  } else {
    ::unsetenv(name.c_str());
  }
  // Local time conversions read TZ only when told to.
  ::tzset();
#endif
}

}  // namespace

ScopedEnv::ScopedEnv(std::string name, const std::optional<std::string>& value) : m_name(std::move(name)) {
  if (const char* previous = std::getenv(m_name.c_str()))
    m_previous = previous;
  assign(m_name, value);
}

ScopedEnv::~ScopedEnv() {
  assign(m_name, m_previous);
}

}  // namespace qinglan::test
