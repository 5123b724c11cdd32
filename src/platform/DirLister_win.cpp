#include "platform/DirLister.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>

#include "platform/FileHandle_win.h"
#include "platform/Locations.h"
#include "platform/NativePath.h"
#include "platform/Path.h"

namespace qinglan::platform {

namespace {

// What the listing itself tells of an entry, kept for when the entry cannot be opened.
struct Listed {
  DWORD attributes = 0;
  int64_t size = 0;
  FILETIME created{};
  FILETIME accessed{};
  FILETIME written{};
};

EntryDetails detailsOf(uint32_t attributes, const Listed& data, const EntryId& id) {
  EntryDetails details;
  details.attributes = attributes;
  const bool hasContent = (attributes & (kAttrDirectory | kAttrReparsePoint)) == 0;
  details.size = hasContent ? data.size : 0;
  details.creationTime = toLocalSystemTime(timespecOf(data.created));
  details.lastAccessTime = toLocalSystemTime(timespecOf(data.accessed));
  details.lastWriteTime = toLocalSystemTime(timespecOf(data.written));
  details.id = id;
  return details;
}

class WinDirListing final : public DirListing {
 public:
  explicit WinDirListing(std::string folder) : m_folder(withTrailingSeparator(std::move(folder))) {}

  // False when the folder cannot be listed at all; a failure part way keeps what was read.
  bool readAll() {
    WIN32_FIND_DATAW data{};
    const HANDLE search = ::FindFirstFileExW(widePath(m_folder + "*").c_str(), FindExInfoBasic, &data,
                                             FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
      // A drive's root holds no "." or "..", so an empty one finds nothing at all.
      return ::GetLastError() == ERROR_FILE_NOT_FOUND && isFolder(m_folder);
    }
    do {
      add(data);
    } while (::FindNextFileW(search, &data));
    ::FindClose(search);
    sortListed(m_entries);
    return true;
  }

  const std::vector<DirEntry>& entries() const override { return m_entries; }

  // The entry is opened for its identity, which the listing lacks; one that cannot be opened
  // (in use without sharing) keeps what the listing said, with no identity.
  std::optional<EntryDetails> details(const DirEntry& entry) override {
    const auto listed = m_listed.find(entry.name);
    if (listed == m_listed.end())
      return std::nullopt;
    const FileHandle handle = openEntry(m_folder + entry.name, FILE_READ_ATTRIBUTES);
    if (!handle.valid()) {
      if (isNotFoundError(::GetLastError()))
        return std::nullopt;
      return detailsOf(entry.attributes, listed->second, {});
    }
    const std::optional<HandleInfo> info = infoOf(handle.get());
    // A link the system followed all the same tells of its target: the listing's word is kept.
    if (!info || (entry.isLink() && !info->isLink()))
      return detailsOf(entry.attributes, listed->second, {});
    const Listed fresh{info->attributes, info->size, info->created, info->accessed, info->written};
    return detailsOf(linkAttributes(info->attributes, info->reparseTag), fresh, info->id);
  }

 private:
  void add(const WIN32_FIND_DATAW& data) {
    const std::wstring_view name(data.cFileName);
    if (name == L"." || name == L"..")
      return;
    DirEntry& entry = m_entries.emplace_back();
    entry.name = utf8Text(name);
    // The search gives a reparse point's tag in its first reserved field.
    entry.attributes = linkAttributes(data.dwFileAttributes, data.dwReserved0);
    const int64_t size =
        static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    m_listed[entry.name] = {data.dwFileAttributes, size, data.ftCreationTime, data.ftLastAccessTime,
                            data.ftLastWriteTime};
  }

  std::string m_folder;
  std::vector<DirEntry> m_entries;
  std::unordered_map<std::string, Listed> m_listed;
};

// The entries of a folder the walk reached, listed through a handle of the folder itself: what
// is listed is that folder, whatever its path text leads to by now. The listing gives every
// entry's size, times and identity, so no entry is opened for its details.
class WinHandleListing final : public DirListing {
 public:
  WinHandleListing(FileHandle folder, uint64_t volume) : m_folder(std::move(folder)), m_volume(volume) {}

  // False when the folder cannot be listed at all.
  bool readAll() {
    std::optional<std::vector<ChildEntry>> children = childrenOf(m_folder.get());
    if (!children)
      return false;
    for (ChildEntry& child : *children) {
      DirEntry& entry = m_entries.emplace_back();
      entry.name = utf8Text(child.name);
      entry.attributes = linkAttributes(child.attributes, child.reparseTag);
      m_listed.emplace(entry.name, std::move(child));
    }
    sortListed(m_entries);
    return true;
  }

  const std::vector<DirEntry>& entries() const override { return m_entries; }

  std::optional<EntryDetails> details(const DirEntry& entry) override {
    const auto found = m_listed.find(entry.name);
    if (found == m_listed.end())
      return std::nullopt;
    const ChildEntry& child = found->second;
    const Listed listed{child.attributes, child.size, child.created, child.accessed, child.written};
    if (child.fileId != 0 || child.fileIdHigh != 0)
      return detailsOf(
          entry.attributes, listed,
          {m_volume, child.fileId, entryTypeOf(child.attributes, child.reparseTag), child.fileIdHigh});
    // A file system that numbers no entries in its listings tells the number of an open one.
    const FileHandle opened = openChild(m_folder.get(), child.name, FILE_READ_ATTRIBUTES);
    if (!opened.valid())
      return isNotFoundError(::GetLastError()) ? std::nullopt
                                               : std::optional(detailsOf(entry.attributes, listed, {}));
    const std::optional<HandleInfo> info = infoOf(opened.get());
    if (!info || !matchesListing(child, *info))
      return detailsOf(entry.attributes, listed, {});
    return detailsOf(entry.attributes, listed, info->id);
  }

 private:
  FileHandle m_folder;
  uint64_t m_volume;
  std::vector<DirEntry> m_entries;
  std::unordered_map<std::string, ChildEntry> m_listed;
};

std::unique_ptr<DirListing> listingOf(const std::string& folder) {
  if (folder.empty())
    return nullptr;
  auto listing = std::make_unique<WinDirListing>(folder);
  if (!listing->readAll())
    return nullptr;
  return listing;
}

// Why a folder could not be reached from the walk's root.
enum class Reached { Yes, Missing, LinkOrVolume, Refused };

// The root of a walk, held open (and so neither renamed nor replaced) while the walk lasts. Each
// folder is reached from it handle by handle, refusing a reparse point or another volume on the
// way, and listed through its own handle.
class WinWalkRoot final : public WalkRoot {
 public:
  explicit WinWalkRoot(ScanRoot scanRoot) {
    m_reached = openRoot(scanRoot);
    if (m_reached == Reached::Yes)
      scanRoot.id = m_id;
    m_scanRoot = std::make_shared<const ScanRoot>(std::move(scanRoot));
  }

  Listed list(std::string_view relative, const std::string&) override {
    FileHandle folder;
    const Reached reached = m_reached == Reached::Yes ? reachKept(relative, folder) : m_reached;
    Listed listed;
    if (reached == Reached::Yes) {
      auto listing = std::make_unique<WinHandleListing>(std::move(folder), m_id.device);
      if (listing->readAll())
        listed.listing = std::move(listing);
      listed.unreadable = listed.listing == nullptr;
      return listed;
    }
    const bool beneathRoot = m_reached == Reached::Yes && !relative.empty();
    listed.leftOut = beneathRoot && reached == Reached::LinkOrVolume;
    listed.unreadable = reached == Reached::Refused;
    return listed;
  }
  const std::shared_ptr<const ScanRoot>& scanRoot() const override { return m_scanRoot; }

 private:
  static Reached failure() { return isNotFoundError(::GetLastError()) ? Reached::Missing : Reached::Refused; }

  // Opens the subfolder `name` of the folder, which must be a real folder on the root's volume.
  Reached reachChild(HANDLE folder, const std::wstring& name, FileHandle& child) const {
    FileHandle next = openChild(folder, name, FILE_READ_ATTRIBUTES);
    if (!next.valid())
      return failure();
    const std::optional<HandleInfo> info = infoOf(next.get());
    if (!info)
      return Reached::Refused;
    if (info->isLink() || info->id.device != m_id.device || !isListedAs(folder, name, *info))
      return Reached::LinkOrVolume;
    if (!info->isFolder())
      return Reached::Missing;
    child = std::move(next);
    return Reached::Yes;
  }

  // Follows every component of `relative` from the folder, each of which must be a real folder on
  // the root's volume; `last` receives the folder reached.
  Reached reach(HANDLE from, std::string_view relative, FileHandle* last = nullptr) const {
    FileHandle current;
    HANDLE folder = from;
    for (const std::string& name : pathNames(relative)) {
      FileHandle next;
      if (const Reached reached = reachChild(folder, wideText(name), next); reached != Reached::Yes)
        return reached;
      current = std::move(next);
      folder = current.get();
    }
    if (last != nullptr)
      *last = std::move(current);
    return Reached::Yes;
  }

  // Reaches `relative` as reach does, from the deepest folder kept open on the way there: a walk
  // lists a folder's subfolders one after another, so each is one open away from what is kept,
  // however deep. `listing` receives a handle of the folder reached, open for listing.
  Reached reachKept(std::string_view relative, FileHandle& listing) {
    std::vector<std::wstring> names;
    for (const std::string& name : pathNames(relative))
      names.push_back(wideText(name));
    const std::lock_guard lock(m_keptMutex);  // the walk's reader lists ahead on a thread of its own
    size_t shared = 0;
    while (shared < m_kept.size() && shared < names.size() && m_kept[shared].name == names[shared])
      ++shared;
    m_kept.resize(shared);
    for (size_t i = shared; i < names.size(); ++i) {
      const HANDLE parent = m_kept.empty() ? m_root.get() : m_kept.back().handle.get();
      FileHandle next;
      const Reached reached = reachChild(parent, names[i], next);
      if (reached != Reached::Yes)
        return reached;
      m_kept.push_back({names[i], std::move(next)});
    }
    const HANDLE reachedFolder = m_kept.empty() ? m_root.get() : m_kept.back().handle.get();
    listing = openChild(reachedFolder, L"", FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES);
    return listing.valid() ? Reached::Yes : failure();
  }

  // The base as the user gave it, links and all, then the components below it the confined way.
  Reached openRoot(const ScanRoot& scanRoot) {
    FileHandle base(::CreateFileW(widePath(scanRoot.base).c_str(), FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_NO_RECALL, nullptr));
    if (!base.valid())
      return failure();
    const std::optional<HandleInfo> baseInfo = infoOf(base.get());
    if (!baseInfo || !baseInfo->isFolder())
      return baseInfo ? Reached::Missing : Reached::Refused;
    m_id = baseInfo->id;
    FileHandle below;
    const Reached reached = reach(base.get(), scanRoot.below, &below);
    if (reached != Reached::Yes)
      return reached;
    m_root = below.valid() ? std::move(below) : std::move(base);
    if (const std::optional<HandleInfo> info = infoOf(m_root.get()))
      m_id = info->id;
    return Reached::Yes;
  }

  // The folders on the way to the one listed last, each open: a walk goes on next to it. A path
  // holds at most some 16,000 names, far below the handles a process may hold.
  struct Kept {
    std::wstring name;
    FileHandle handle;
  };

  FileHandle m_root;
  std::mutex m_keptMutex;
  std::vector<Kept> m_kept;
  EntryId m_id;
  Reached m_reached = Reached::Refused;
  std::shared_ptr<const ScanRoot> m_scanRoot;
};

class WinDirLister final : public DirLister {
 public:
  std::unique_ptr<DirListing> list(const std::string& folder) override { return listingOf(folder); }

  std::unique_ptr<WalkRoot> openRoot(const std::string& base, const std::string& root) override {
    return std::make_unique<WinWalkRoot>(scanRootOf(base, root));
  }
};

}  // namespace

DirLister& DirLister::system() {
  static WinDirLister lister;
  return lister;
}

}  // namespace qinglan::platform
