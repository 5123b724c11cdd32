#include "support/ScopedEnv.h"

#include <cstdlib>
#include <ctime>
#include <utility>

namespace qinglan::test {

namespace {

void assign(const std::string& name, const std::optional<std::string>& value) {
  if (value) {
    ::setenv(name.c_str(), value->c_str(), 1);
  } else {
    ::unsetenv(name.c_str());
  }
  // Local time conversions read TZ only when told to.
  ::tzset();
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
