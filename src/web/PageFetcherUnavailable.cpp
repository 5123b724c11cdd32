#include "web/PageFetcher.h"

namespace qinglan {

// The fetcher of systems the program has no HTTP client for yet: every fetch fails plainly.
bool pageFetcherAvailable() {
  return false;
}

struct PageFetcher::Impl {};

PageFetcher::PageFetcher(FetchOptions) : m_impl(std::make_unique<Impl>()) {}

PageFetcher::~PageFetcher() = default;

std::string PageFetcher::get(const std::string&, const Pump&) {
  throw FetchError("fetching pages is not available on this platform", FetchFailure::Unavailable);
}

}  // namespace qinglan
