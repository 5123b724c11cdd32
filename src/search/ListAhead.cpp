#include "search/ListAhead.h"

#include <atomic>
#include <exception>
#include <string_view>
#include <thread>
#include <utility>

#include "platform/DescriptorLimit.h"
#include "platform/Path.h"

namespace qinglan {

namespace {

// Enough to keep the walk fed across small folders without holding much memory; every listing
// ahead holds its folder open, so they are bounded too.
constexpr size_t kMaxEntriesAhead = 4096;
constexpr size_t kMaxListingsAhead = 128;

// The folders every queue of the process holds open ahead of its walk, or is opening.
std::atomic<size_t>& foldersOpenAhead() {
  static std::atomic<size_t> open{0};
  return open;
}

std::atomic<unsigned>& walkThreadsSetting() {
  static std::atomic<unsigned> threads{std::thread::hardware_concurrency() > 1 ? 2u : 1u};
  return threads;
}

// A listing whose marked entries' details were read when it was listed.
class ReadAheadListing final : public platform::DirListing {
 public:
  explicit ReadAheadListing(std::unique_ptr<platform::DirListing> inner) : m_inner(std::move(inner)) {}

  void readDetails(const std::vector<char>& marks) {
    const auto& entries = m_inner->entries();
    m_details.resize(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
      if (marks[i])
        m_details[i] = m_inner->details(entries[i]);
    }
    m_read = marks;
  }

  const std::vector<platform::DirEntry>& entries() const override { return m_inner->entries(); }

  std::optional<platform::EntryDetails> details(const platform::DirEntry& entry) override {
    const auto& entries = m_inner->entries();
    const size_t index = static_cast<size_t>(&entry - entries.data());
    if (index < m_read.size() && m_read[index])
      return m_details[index];
    return m_inner->details(entry);
  }

  bool stillThere() const override { return m_inner->stillThere(); }

 private:
  std::unique_ptr<platform::DirListing> m_inner;
  std::vector<std::optional<platform::EntryDetails>> m_details;
  std::vector<char> m_read;
};

}  // namespace

unsigned walkThreads() {
  return walkThreadsSetting().load();
}

void setWalkThreads(unsigned threads) {
  walkThreadsSetting().store(threads);
}

ListAhead::ListAhead(bool threaded, Judge judge)
    : m_threaded(threaded),
      m_budget(threaded ? platform::folderDescriptorBudget() : 0),
      m_judge(std::move(judge)) {}

ListAhead::~ListAhead() {
  {
    const std::lock_guard lock(m_mutex);
    m_stopping = true;
  }
  m_changed.notify_all();
  if (m_reader.joinable())
    m_reader.join();
  release(m_openAhead);
}

void ListAhead::start(platform::WalkRoot& root, size_t rootPathLength) {
  m_root = &root;
  m_rootPathLength = rootPathLength;
  if (m_threaded && m_budget > 0)
    m_reader = KeptThread([this] { read(); });
}

void ListAhead::push(std::string folder) {
  {
    const std::lock_guard lock(m_mutex);
    m_queue.emplace_back().folder = std::move(folder);
  }
  if (m_reader.joinable())
    m_changed.notify_all();
}

ListAhead::Taken ListAhead::takeFront(const std::string& path) {
  Slot slot;
  {
    std::unique_lock lock(m_mutex);
    if (m_nextToRead == m_taken)
      ++m_nextToRead;  // the reader has not reached it: listed here
    // While the reader lists the front folder, the walk lists the next one instead of waiting:
    // a wake-up costs more than a small folder's listing.
    while (m_queue.front().state == State::Listing) {
      if (readerHasWork())
        listNext(lock);
      else
        m_changed.wait(lock);
    }
    slot = std::move(m_queue.front());
    m_queue.pop_front();
    ++m_taken;
    if (slot.state == State::Listed) {
      m_entriesAhead -= slot.entries;
      --m_listingsAhead;
      if (slot.usable)
        release(1);
    }
  }
  if (slot.state == State::Listed)
    m_changed.notify_all();

  Taken taken;
  if (slot.usable && slot.listed.listing->stillThere()) {
    taken.listed = std::move(slot.listed);
    if (!slot.marks.empty()) {
      m_takenMarks = std::move(slot.marks);
      taken.marks = &m_takenMarks;
    }
    return taken;
  }
  // Close a stale listing's folder before listing it again.
  slot.listed = {};
  taken.listed = listHere(path);
  if (taken.listed.outOfDescriptors && m_reader.joinable()) {
    closeListingsAhead();
    taken.listed = listHere(path);
    resumeReader();
  }
  return taken;
}

// Waits for the listings being made, then closes those held ahead; they are listed again at their
// turn. The reader makes no new one until resumeReader.
void ListAhead::closeListingsAhead() {
  std::unique_lock lock(m_mutex);
  m_readerHeld = true;
  m_changed.wait(lock, [this] { return m_listingNow == 0; });
  for (uint64_t i = 0; i < m_nextToRead - m_taken; ++i) {
    Slot& slot = m_queue[i];
    if (slot.state != State::Listed || !slot.usable)
      continue;
    slot.usable = false;
    slot.listed = {};
    slot.marks.clear();
    m_entriesAhead -= slot.entries;
    slot.entries = 0;
    release(1);
  }
}

void ListAhead::resumeReader() {
  {
    const std::lock_guard lock(m_mutex);
    m_readerHeld = false;
  }
  m_changed.notify_all();
}

// Called with the lock held, or once the reader has ended.
void ListAhead::release(size_t listings) {
  m_openAhead -= listings;
  foldersOpenAhead().fetch_sub(listings, std::memory_order_relaxed);
}

platform::WalkRoot::Listed ListAhead::listHere(const std::string& path) {
  return m_root->list(std::string_view(path).substr(m_rootPathLength), path);
}

bool ListAhead::readerHasWork() const {
  // The queues of other walks may take room meanwhile: all together hold at most a folder or two
  // beyond the budget each.
  return !m_readerHeld && m_nextToRead < m_taken + m_queue.size() && m_entriesAhead < kMaxEntriesAhead &&
         m_listingsAhead < kMaxListingsAhead && foldersOpenAhead().load(std::memory_order_relaxed) < m_budget;
}

void ListAhead::read() {
  std::unique_lock lock(m_mutex);
  for (;;) {
    m_changed.wait(lock, [this] { return m_stopping || readerHasWork(); });
    if (m_stopping)
      return;
    listNext(lock);
  }
}

// Lists the first folder nobody has claimed, with the lock released meanwhile.
void ListAhead::listNext(std::unique_lock<std::mutex>& lock) {
  const uint64_t sequence = m_nextToRead++;
  Slot& queued = m_queue[sequence - m_taken];
  queued.state = State::Listing;
  const std::string folder = queued.folder;
  ++m_listingNow;
  ++m_openAhead;
  foldersOpenAhead().fetch_add(1, std::memory_order_relaxed);
  lock.unlock();

  Slot done;
  listAhead(done, folder);

  lock.lock();
  --m_listingNow;
  if (!done.usable)
    release(1);  // nothing of it stays open
  // The walk takes no folder being listed, so the slot is still queued at the same place.
  Slot& slot = m_queue[sequence - m_taken];
  slot.state = State::Listed;
  slot.usable = done.usable;
  slot.listed = std::move(done.listed);
  slot.marks = std::move(done.marks);
  slot.entries = done.entries;
  m_entriesAhead += slot.entries;
  ++m_listingsAhead;
  m_changed.notify_all();
}

// Whatever goes wrong here is left for the walk to meet again when it lists the folder itself.
void ListAhead::listAhead(Slot& slot, const std::string& folder) {
  try {
    const std::string path = platform::withTrailingSeparator(folder);
    platform::WalkRoot::Listed listed = listHere(path);
    if (!listed.listing || listed.leftOut)
      return;
    const auto& entries = listed.listing->entries();
    slot.entries = entries.size();
    std::vector<char> marks(entries.size(), 0);
    if (m_judge && m_judge(path, entries, marks)) {
      auto readAhead = std::make_unique<ReadAheadListing>(std::move(listed.listing));
      readAhead->readDetails(marks);
      listed.listing = std::move(readAhead);
      slot.marks = std::move(marks);
    }
    slot.listed = std::move(listed);
    slot.usable = true;
  } catch (...) {
    slot = Slot{};
  }
}

}  // namespace qinglan
