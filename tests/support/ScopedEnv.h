#pragma once

#include <optional>
#include <string>

namespace qinglan::test {

// Sets (or with nullopt unsets) one environment variable and restores its old state on destruction.
class ScopedEnv {
 public:
  ScopedEnv(std::string name, const std::optional<std::string>& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string m_name;
  std::optional<std::string> m_previous;
};

}  // namespace qinglan::test
