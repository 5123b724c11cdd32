#include "platform/Trash.h"

namespace qinglan::platform {

namespace {

// The Recycle Bin works through the shell, which this build does not reach: nothing is ever moved,
// and every call says so rather than deleting instead.
constexpr const char* kUnavailable = "the trash is not available on this system";

TrashResult notMoved() {
  TrashResult result;
  result.reason = kUnavailable;
  return result;
}

class UnavailableTrash final : public Trash {
 public:
  TrashResult moveToTrash(const std::string&) override { return notMoved(); }
  TrashResult moveFinding(const std::string&, const FindingOrigin&) override { return notMoved(); }
  RestoreResult restore(const TrashLocation&) override {
    RestoreResult result;
    result.reason = kUnavailable;
    return result;
  }
};

}  // namespace

Trash& Trash::system() {
  static UnavailableTrash trash;
  return trash;
}

}  // namespace qinglan::platform
