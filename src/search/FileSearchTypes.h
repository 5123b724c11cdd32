#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <stop_token>
#include <string>

#include "platform/ScanRoot.h"
#include "platform/SystemTime.h"

namespace qinglan {

enum TOptionsKind {
  okIncludeSubfolder,
  okLookForReadOnlyFile,
  okLookForHiddenFile,
  okLookForSystemFile,
  okLookForDirectory,
  okLookForArchiveFile,
  okLookForAnyFile,
};

// What a walk does at a folder it cannot list, whether nothing stands there any more or the folder
// cannot be read: end there, or leave that folder out and go on.
enum class UnlistedFolder { Stop, Skip };

enum TFilterKind { fkFilterOnDate, fkFilterOnSize };
enum TDateFilterAccessKind { dfakCreatedFiles, dfakModifiedFiles, dfakOpenedFiles, dfakAnyFiles };
enum TDateFilterKind { dfkBetween, dfkBefore, dfkAfter, dfkSame };
enum TSizeFilterKind { sfkSmallerOrEqualTo, sfkBiggerOrEqualTo };

// A set of enumeration members held as a bit mask (bit n = the member of ordinal n).
template <typename Enum>
class EnumSet {
 public:
  constexpr EnumSet() = default;
  constexpr EnumSet(std::initializer_list<Enum> members) {
    for (Enum member : members)
      m_bits |= bit(member);
  }
  static constexpr EnumSet fromBits(uint32_t bits) {
    EnumSet set;
    set.m_bits = bits;
    return set;
  }

  constexpr bool contains(Enum member) const { return (m_bits & bit(member)) != 0; }
  constexpr EnumSet with(Enum member) const { return fromBits(m_bits | bit(member)); }
  constexpr EnumSet without(Enum member) const { return fromBits(m_bits & ~bit(member)); }
  constexpr uint32_t bits() const { return m_bits; }
  constexpr bool empty() const { return m_bits == 0; }

  friend constexpr bool operator==(EnumSet, EnumSet) = default;

 private:
  static constexpr uint32_t bit(Enum member) { return 1u << static_cast<unsigned>(member); }
  uint32_t m_bits = 0;
};

using TOptions = EnumSet<TOptionsKind>;
using TFilter = EnumSet<TFilterKind>;

inline constexpr TOptions kAllSearchOptions{okIncludeSubfolder,  okLookForReadOnlyFile, okLookForHiddenFile,
                                            okLookForSystemFile, okLookForDirectory,    okLookForArchiveFile,
                                            okLookForAnyFile};

// One accepted entry as the events see it. A walk may fill one record again for every entry: a
// handler copies what it keeps.
struct TFileInformations {
  std::string Name;  // raw bytes as listed, without any folder part
  std::string Path;  // the folder being listed, always ending with the separator
  uint32_t Attributes = 0;
  int64_t Size = 0;  // bytes; 0 for folders
  platform::SystemTime CreationTime;
  platform::SystemTime LastAccessTime;
  platform::SystemTime LastWriteTime;
  platform::FindingOrigin Origin;  // what cleaning needs to find this very entry again
};

struct TStatistics {
  int32_t FilesFound = 0;        // accepted entries that are not folders
  int32_t FoldersWithFiles = 0;  // folders in which at least one such file was accepted
  int32_t FoldersFound = 0;      // accepted folder entries
  int32_t ElapsedMs = 0;         // duration of the run
};

using TOnFileFound = std::function<void(const TFileInformations& fileFound)>;
using TOnAcceptFile = std::function<bool(const TFileInformations& fileFound)>;
using TOnChangeFolder = std::function<void(const std::string& newPath)>;
// A folder that stands there but cannot be read, ending with the separator.
using TOnUnreadableFolder = std::function<void(const std::string& folder)>;
using TOnStatistics = std::function<void(const TStatistics& stats)>;
// Lets the front end's pending events run during a long walk; called at most every ~15 ms.
using TPump = std::function<void()>;

// A walk asked to stop ends before the next entry it would test: what it reported so far stands,
// the events of an ending walk (statistics) still come.
using TStopToken = std::stop_token;

}  // namespace qinglan
