#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/DirLister.h"
#include "search/KeptThread.h"

namespace qinglan {

// How many threads a walk uses unless it is told otherwise: 1 lists every folder on the walking
// thread; 2 or more let a second thread list the queued folders ahead of the walk. Starts at 2
// when the machine has more than one core, else 1.
unsigned walkThreads();
void setWalkThreads(unsigned threads);

// The folder queue of a breadth-first walk. With a reader thread, the folders already queued are
// listed ahead of the walk, in queue order and bounded in entries and open folders, together with
// the details of the entries the walk's owner says it will read; the walk takes each listing in
// queue order when its turn comes. Without one, or when the reader has not reached the folder yet,
// the folder is listed on the walking thread, as it is at that moment. While the reader is still
// listing the folder whose turn has come, the walk lists the next folders ahead in its place.
//
// A listing taken from the reader shows its folder as it was when the reader listed it, as if the
// walk had listed it then. Only whole listings are taken: one that failed or left its folder out
// is listed again at its turn, and so is a folder removed since the reader listed it, so a folder
// that cannot be listed at its turn fails then and on the walking thread, exactly where it would
// without the reader. Destroying the queue (a walk ending, stopped or raising) stops the reader
// after the folder it is listing.
//
// Every listing ahead holds its folder open: all queues of the process together hold no more than
// the open-file limit spares (platform::folderDescriptorBudget), and the reader waits for room. A
// folder the walk cannot open at its turn for want of a descriptor is tried once more after the
// listings ahead are closed (they are listed again at their turn), so only a shortage the walk
// cannot relieve makes it unreadable.
class ListAhead {
 public:
  // Marks the entries of one listed folder (path with a trailing separator) whose details the walk
  // will read. Runs beside the walk, on either thread: it may only read what the walk does
  // not change. False when it cannot tell: nothing is marked and the walk decides every entry.
  using Judge = std::function<bool(const std::string& path, const std::vector<platform::DirEntry>& entries,
                                   std::vector<char>& marks)>;

  // A folder's listing as the walk takes it.
  struct Taken {
    platform::WalkRoot::Listed listed;
    // One mark per entry when the reader judged the folder: unmarked entries need no details,
    // and the listing already holds those of the marked ones.
    const std::vector<char>* marks = nullptr;
  };

  ListAhead(bool threaded, Judge judge);
  ~ListAhead();
  ListAhead(const ListAhead&) = delete;
  ListAhead& operator=(const ListAhead&) = delete;

  // Lets the reader list the queued folders beneath the walk's opened root, whose path text is
  // `rootPathLength` bytes long; the root must outlive the queue.
  void start(platform::WalkRoot& root, size_t rootPathLength);

  void push(std::string folder);
  bool empty() const { return m_queue.empty(); }
  // The folder at the front of the queue, as queued (no trailing separator).
  const std::string& front() const { return m_queue.front().folder; }
  // Removes the front folder and gives its listing; `path` is its text with a trailing separator.
  Taken takeFront(const std::string& path);

 private:
  enum class State : uint8_t { Queued, Listing, Listed };
  struct Slot {
    std::string folder;
    State state = State::Queued;
    bool usable = false;
    platform::WalkRoot::Listed listed;
    std::vector<char> marks;
    size_t entries = 0;
  };

  void read();
  void listNext(std::unique_lock<std::mutex>& lock);
  bool readerHasWork() const;
  void listAhead(Slot& slot, const std::string& folder);
  platform::WalkRoot::Listed listHere(const std::string& path);
  void closeListingsAhead();
  void resumeReader();
  void release(size_t listings);

  const bool m_threaded;
  // How many folders all queues together may hold open ahead, as the open-file limit was at the start.
  const size_t m_budget;
  const Judge m_judge;
  platform::WalkRoot* m_root = nullptr;
  size_t m_rootPathLength = 0;
  std::vector<char> m_takenMarks;

  mutable std::mutex m_mutex;
  std::condition_variable m_changed;
  std::deque<Slot> m_queue;
  // Sequence numbers: how many folders the walk took, and the next one the reader lists.
  uint64_t m_taken = 0;
  uint64_t m_nextToRead = 0;
  size_t m_entriesAhead = 0;
  size_t m_listingsAhead = 0;
  // The listings ahead that hold their folder open, and those being made.
  size_t m_openAhead = 0;
  unsigned m_listingNow = 0;
  bool m_readerHeld = false;  // while the walk retries a folder with the listings ahead closed
  bool m_stopping = false;
  KeptThread m_reader;
};

}  // namespace qinglan
