#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/IniFile.h"

namespace qinglan {

inline constexpr std::string_view kWhitelistFileName = "wb.lst";
inline constexpr std::string_view kWhiteSection = "White";
inline constexpr std::string_view kWhiteNameSection = "WhiteName";
inline constexpr std::string_view kUnvercheckSection = "unvercheck";
inline constexpr std::string_view kOptionSection = "option";
inline constexpr std::string_view kTrashKey = "Trash";
inline constexpr std::string_view kInUseKey = "KeepInUse";
inline constexpr std::string_view kOlderThanKey = "OlderThan";
inline constexpr std::string_view kOlderThanDaysKey = "OlderThanDays";
inline constexpr int kDefaultOlderThanDays = 30;
inline constexpr int kMaxOlderThanDays = 36500;

// "只清理 N 天前的文件": whether it is on, and N, which is kept while it is off.
struct OlderThanOption {
  bool on = false;
  int days = kDefaultOlderThanDays;

  friend bool operator==(const OlderThanOption&, const OlderThanOption&) = default;
};

// One row of the whitelist page: the name the resource had when it was whitelisted, and its ID.
struct WhitelistEntry {
  std::string name;
  std::string id;

  friend bool operator==(const WhitelistEntry&, const WhitelistEntry&) = default;
};

// wb.lst: the whitelisted resources (sections White and WhiteName) beside the update check's silenced
// versions (section unvercheck). Every call opens the file anew; a refused write raises
// platform::IniWriteError.
class Whitelist {
 public:
  explicit Whitelist(std::string fileName);
  // wb.lst in the program's folder (appPath ends with the separator).
  static Whitelist inAppFolder(const std::string& appPath);

  const std::string& fileName() const { return m_file.fileName(); }

  // True only when section White holds exactly "1" for the resource; any other value lists the
  // resource on the whitelist page without hiding it.
  bool hides(const std::string& resourceId) const;

  // Hides the resource under its name. False, with nothing of it left in the file, when the ID
  // would not read back as written (a character GBK lacks, a blank at either end, "=").
  bool add(const std::string& resourceId, const std::string& name);
  // Every key of section White in file order, whatever its value, named from section WhiteName.
  std::vector<WhitelistEntry> entries() const;
  void remove(const std::string& resourceId);
  // "移到回收站": cleaning moves findings into the trash; remembered as Trash=1 in section option.
  bool trashOption() const;
  void setTrashOption(bool on);
  // "跳过正在使用的文件": cleaning keeps findings a running program holds open. On unless the
  // file says KeepInUse=0 in section option.
  bool skipInUseOption() const;
  void setSkipInUseOption(bool on);
  // OlderThan=1 when on, OlderThanDays=N unless 30, both in section option; a days value that is
  // not a whole number from 1 to kMaxOlderThanDays reads as 30.
  OlderThanOption olderThanOption() const;
  void setOlderThanOption(const OlderThanOption& option);

  // Empties the whitelist and the silenced versions; section option, and so the trash setting, stays.
  void clear();

 private:
  platform::IniFile m_file;
};

}  // namespace qinglan
