#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qinglan::platform {

// Raised when the file cannot be written: "Unable to write to <path>".
class IniWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// An INI file read and written with the semantics of the Windows profile functions: section and
// key names match without regard to ASCII case; a missing file, section or key gives the default;
// values are trimmed and cut at 2047 characters. The file is GBK on disk unless it starts with a
// UTF-8 or UTF-16LE byte-order mark, whose encoding reads and writes then keep; texts in and out are UTF-8.
// Every call opens the file anew; a write keeps every other line and replaces the file atomically.
class IniFile {
 public:
  explicit IniFile(std::string fileName);

  const std::string& fileName() const { return m_fileName; }

  std::string readString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
  // The keys of a section in file order.
  std::vector<std::string> readSection(std::string_view section) const;
  // The key=value pairs of a section in file order.
  std::vector<std::pair<std::string, std::string>> readSectionValues(std::string_view section) const;

  void writeString(std::string_view section, std::string_view key, std::string_view value);
  void deleteKey(std::string_view section, std::string_view key);
  void eraseSection(std::string_view section);

 private:
  std::string m_fileName;
};

}  // namespace qinglan::platform
