#include "platform/DirLister.h"

#include <algorithm>
#include <unordered_map>

#include "platform/FileHandle_win.h"
#include "platform/Locations.h"
#include "platform/NativePath.h"
#include "platform/Path.h"

namespace qinglan::platform {

namespace {

// Windows takes "/" for a separator as well; no name can hold either.
constexpr const char* kPathSeparators = "\\/";

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
// folder is first reached from it handle by handle, refusing a reparse point or another volume on
// the way, and then listed by its path text.
class WinWalkRoot final : public WalkRoot {
 public:
  explicit WinWalkRoot(ScanRoot scanRoot) {
    m_reached = openRoot(scanRoot);
    if (m_reached == Reached::Yes)
      scanRoot.id = m_id;
    m_scanRoot = std::make_shared<const ScanRoot>(std::move(scanRoot));
  }

  Listed list(std::string_view relative, const std::string& folder) override {
    const Reached reached = m_reached == Reached::Yes ? reach(m_root.get(), relative) : m_reached;
    Listed listed;
    if (reached == Reached::Yes) {
      listed.listing = listingOf(folder);
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

  // Follows every component of `relative` from the folder, each of which must be a real folder on
  // the root's volume; `last` receives the folder reached.
  Reached reach(HANDLE from, std::string_view relative, FileHandle* last = nullptr) const {
    FileHandle current;
    HANDLE folder = from;
    while (!relative.empty()) {
      const size_t end = std::min(relative.find_first_of(kPathSeparators), relative.size());
      const std::string_view name = relative.substr(0, end);
      relative.remove_prefix(std::min(end + 1, relative.size()));
      if (name.empty())
        continue;
      const std::wstring wideName = wideText(name);
      FileHandle next = openChild(folder, wideName, FILE_READ_ATTRIBUTES);
      if (!next.valid())
        return failure();
      const std::optional<HandleInfo> info = infoOf(next.get());
      if (!info)
        return Reached::Refused;
      if (info->isLink() || info->id.device != m_id.device || !isListedAs(folder, wideName, *info))
        return Reached::LinkOrVolume;
      if (!info->isFolder())
        return Reached::Missing;
      current = std::move(next);
      folder = current.get();
    }
    if (last != nullptr)
      *last = std::move(current);
    return Reached::Yes;
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

  FileHandle m_root;
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
