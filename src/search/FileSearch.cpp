#include "search/FileSearch.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <optional>

#include "platform/DirLister.h"
#include "platform/Path.h"
#include "search/FolderWalk.h"
#include "search/ListAhead.h"
#include "search/Mask.h"

namespace qinglan {

namespace {

using Clock = std::chrono::steady_clock;

double dateOf(const platform::SystemTime& time) {
  return platform::dateTimeFromDate(time.year, time.month, time.day);
}

}  // namespace

// One run of the engine: the compiled masks, the queue and the counters.
//
// Every test of an entry is free of side effects except a mask test that reaches an invalid mask.
// So when every mask is valid the cheap tests run first and the rest are skipped once the verdict
// is false; when some mask is invalid, both lists are tried for every entry in the original order
// (exclusions, then names, each up to its first match) so the error comes at the same entry. The
// stat behind size, dates and the read-only bit is made only for entries still in the running. The
// folders are listed ahead of the walk when it may (see ListAhead): with every mask valid, the
// tests before the stat are made there too, and the walk tests only the entries they keep.
class TFileSearch::Walk {
 public:
  explicit Walk(const TFileSearch& search)
      : m_search(search),
        m_names(search.m_fileNames),
        m_excluded(search.m_excludedFiles),
        m_masksCanRaise(m_names.hasInvalid() || m_excluded.hasInvalid()),
        m_everyFolderNamed(std::find(search.m_fileNames.begin(), search.m_fileNames.end(), kAllNamesMask) !=
                           search.m_fileNames.end()),
        m_allowedAttributes(allowedAttributes(search)),
        m_lookForAnyFile(search.m_lookForAnyFile),
        m_start(Clock::now()) {}

  bool run() {
    const FolderWalkSettings settings{m_search.m_rootPath,
                                      m_search.m_rootBase,
                                      *m_search.m_lister,
                                      m_search.m_listAhead.value_or(walkThreads() > 1),
                                      m_search.m_includeSubfolder,
                                      m_search.m_atUnlistedFolder,
                                      m_search.m_stop,
                                      m_search.m_pump};
    walkFolders(settings, *this);
    finish();
    return m_everyFolderListed;
  }

  // The hooks of the folder loop (see walkFolders).
  bool goOn() const { return true; }
  void opened(std::shared_ptr<const platform::ScanRoot> origin) { m_origin = std::move(origin); }
  void changeFolder(const std::string& folder) {
    if (m_search.m_onChangeFolder)
      m_search.m_onChangeFolder(folder);
  }
  void unlisted(const std::string& path, bool unreadable) {
    m_everyFolderListed = false;
    if (unreadable && m_search.m_onUnreadableFolder)
      m_search.m_onUnreadableFolder(path);
  }
  void enterFolder(const std::string&) { m_fileAccepted = false; }
  bool test(platform::DirListing& listing, const platform::DirEntry& entry, const std::string& path,
            bool judged) {
    if (judged || needsDetails(entry))
      testDetails(listing, entry, path);
    return true;
  }

  // Marks the entries needsDetails keeps, for a listing read ahead; not while a test may raise.
  bool judge(const std::string&, const std::vector<platform::DirEntry>& entries,
             std::vector<char>& marks) const {
    if (m_masksCanRaise)
      return false;
    for (size_t i = 0; i < entries.size(); ++i)
      marks[i] = needsDetails(entries[i]);
    return true;
  }

 private:
  static uint32_t allowedAttributes(const TFileSearch& search) {
    return (search.m_lookForReadOnlyFile ? platform::kAttrReadOnly : 0) |
           (search.m_lookForHiddenFile ? platform::kAttrHidden : 0) |
           (search.m_lookForSystemFile ? platform::kAttrSystem : 0) |
           (search.m_lookForDirectory ? platform::kAttrDirectory : 0) |
           (search.m_lookForArchiveFile ? platform::kAttrArchive : 0);
  }

  // The tests that need no stat; only a mask test that reaches an invalid mask has a side effect.
  bool needsDetails(const platform::DirEntry& entry) const {
    const bool folder = entry.isFolder();
    if (!masksPass(MaskSubject(entry.name), folder))
      return false;
    // The listing holds every attribute bit but read-only; a stat settles that one only when it
    // alone can decide.
    return listedPass(entry) || (m_allowedAttributes & platform::kAttrReadOnly) != 0;
  }

  bool listedPass(const platform::DirEntry& entry) const {
    return (m_lookForAnyFile && !entry.isFolder()) || (entry.attributes & m_allowedAttributes) != 0;
  }

  void testDetails(platform::DirListing& listing, const platform::DirEntry& entry, const std::string& path) {
    const std::optional<platform::EntryDetails> details = listing.details(entry);
    if (!details)
      return;  // gone since the folder was listed
    if (!listedPass(entry) && (details->attributes & m_allowedAttributes) == 0)
      return;
    if (!dateTest(*details) || !sizeTest(details->size))
      return;
    accept(entry, path, *details);
  }

  bool masksPass(const MaskSubject& subject, bool folder) const {
    if (m_masksCanRaise) {
      const bool excluded = m_excluded.anyMatches(subject);
      const bool named = m_names.anyMatches(subject) || (folder && m_everyFolderNamed);
      return named && !excluded;
    }
    if (!(folder && m_everyFolderNamed) && !m_names.anyMatches(subject))
      return false;
    return !m_excluded.anyMatches(subject);
  }

  bool dateMatches(double date) const {
    switch (m_search.m_dateFilterKind) {
      case dfkBetween:
        return m_search.m_firstDate <= date && date <= m_search.m_secondDate;
      case dfkBefore:
        return date < m_search.m_firstDate;
      case dfkAfter:
        return date > m_search.m_firstDate;
      case dfkSame:
        return date == m_search.m_firstDate;
    }
    return false;
  }

  bool dateTest(const platform::EntryDetails& details) const {
    if (!m_search.m_dateFilterOn)
      return true;
    switch (m_search.m_dateFilterAccess) {
      case dfakCreatedFiles:
        return dateMatches(dateOf(details.creationTime));
      case dfakModifiedFiles:
        return dateMatches(dateOf(details.lastWriteTime));
      case dfakOpenedFiles:
        return dateMatches(dateOf(details.lastAccessTime));
      case dfakAnyFiles:
        return dateMatches(dateOf(details.creationTime)) || dateMatches(dateOf(details.lastWriteTime)) ||
               dateMatches(dateOf(details.lastAccessTime));
    }
    return false;
  }

  bool sizeTest(int64_t size) const {
    if (!m_search.m_sizeFilterOn)
      return true;
    return m_search.m_sizeFilterKind == sfkSmallerOrEqualTo ? size <= m_search.m_sizeLimit
                                                            : size >= m_search.m_sizeLimit;
  }

  void accept(const platform::DirEntry& entry, const std::string& path,
              const platform::EntryDetails& details) {
    // One record serves every entry: the handlers take it by reference and copy what they keep,
    // so its strings keep their storage from one entry to the next.
    TFileInformations& found = m_found;
    found.Name.assign(entry.name);
    found.Path.assign(path);
    found.Attributes = details.attributes;
    found.Size = details.size;
    found.CreationTime = details.creationTime;
    found.LastAccessTime = details.lastAccessTime;
    found.LastWriteTime = details.lastWriteTime;
    if (found.Origin.root != m_origin)
      found.Origin.root = m_origin;
    found.Origin.id = details.id;
    if (m_search.m_onAcceptFile && !m_search.m_onAcceptFile(found))
      return;
    if ((found.Attributes & platform::kAttrDirectory) != 0) {
      ++m_stats.FoldersFound;
    } else {
      ++m_stats.FilesFound;
      if (!m_fileAccepted)
        ++m_stats.FoldersWithFiles;
      m_fileAccepted = true;
    }
    if (m_search.m_onFileFound)
      m_search.m_onFileFound(found);
  }

  void finish() {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - m_start);
    m_stats.ElapsedMs = static_cast<int32_t>(static_cast<uint32_t>(elapsed.count()));
    if (m_search.m_onStatistics)
      m_search.m_onStatistics(m_stats);
  }

  const TFileSearch& m_search;
  const MaskList m_names;
  const MaskList m_excluded;
  const bool m_masksCanRaise;
  const bool m_everyFolderNamed;  // "*.*" anywhere in the name list lets every folder pass
  const uint32_t m_allowedAttributes;
  const bool m_lookForAnyFile;
  const Clock::time_point m_start;
  TStatistics m_stats;
  std::shared_ptr<const platform::ScanRoot> m_origin;
  TFileInformations m_found;
  bool m_everyFolderListed = true;
  bool m_fileAccepted = false;  // in the folder being tested
};

TFileSearch::TFileSearch()
    : m_rootPath(std::string(".") + platform::kSeparator), m_lister(&platform::DirLister::system()) {}

void TFileSearch::setOptions(TOptions options) {
  m_includeSubfolder = options.contains(okIncludeSubfolder);
  m_lookForReadOnlyFile = options.contains(okLookForReadOnlyFile);
  m_lookForHiddenFile = options.contains(okLookForHiddenFile);
  m_lookForSystemFile = options.contains(okLookForSystemFile);
  m_lookForDirectory = options.contains(okLookForDirectory);
  m_lookForArchiveFile = options.contains(okLookForArchiveFile);
  m_lookForAnyFile = options.contains(okLookForAnyFile);
}

// The dates are kept cut to midnight: the filter compares calendar days.
void TFileSearch::setDateFilter(bool on, TDateFilterAccessKind access, TDateFilterKind kind, double firstDate,
                                double secondDate) {
  m_dateFilterOn = on;
  m_dateFilterAccess = access;
  m_dateFilterKind = kind;
  m_firstDate = std::trunc(firstDate);
  m_secondDate = std::trunc(secondDate);
}

void TFileSearch::setSizeFilter(bool on, TSizeFilterKind kind, int64_t limit) {
  m_sizeFilterOn = on;
  m_sizeFilterKind = kind;
  m_sizeLimit = limit;
}

bool TFileSearch::Execute() {
  return Walk(*this).run();
}

}  // namespace qinglan
