#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace qinglan {

// What stopped a fetch, as far as the user can act on it.
enum class FetchFailure {
  Other,
  NoServer,
  Refused,
  TimedOut,
  Broken,
  Certificate,
  Status,
  TooLarge,
  Unavailable
};

// A fetch that did not give a 2xx answer in time: no connection, a broken one, a time-out, a body
// over the size limit, a refused scheme, or a status outside 200-299 (redirects included). what()
// is the HTTP client's own text.
class FetchError : public std::runtime_error {
 public:
  explicit FetchError(const std::string& what, FetchFailure failure = FetchFailure::Other, long status = 0)
      : std::runtime_error(what), m_failure(failure), m_status(status) {}
  FetchFailure failure() const { return m_failure; }
  // The answer did not come in time, as opposed to no connection or a refused answer.
  bool timedOut() const { return m_failure == FetchFailure::TimedOut; }
  // The server answered, with a status outside 200-299.
  bool answered() const { return m_failure == FetchFailure::Status; }
  long status() const { return m_status; }

 private:
  FetchFailure m_failure;
  long m_status;
};

// The failure in the user's words: "找不到服务器", "连接被拒绝", "服务器返回 404" ...
std::string fetchFailureReason(const FetchError& error);

// Lets pending window messages run while a fetch waits. It may throw to cancel the fetch: the
// transfer is abandoned and the exception reaches the caller of the fetch.
using Pump = std::function<void()>;

struct FetchOptions {
  std::chrono::milliseconds connectTimeout{15'000};
  std::chrono::milliseconds totalTimeout{60'000};
  std::size_t maxBodyBytes = 8 * 1024 * 1024;
  // Shortest interval between two pump calls.
  std::chrono::milliseconds pumpInterval{15};
};

// False on the systems the program has no HTTP client for yet, where every fetch fails.
bool pageFetcherAvailable();

// The program's one HTTP client. It keeps the cookies that responses set for its whole life and
// sends them back with later requests; it never uses a proxy and never follows a redirect. One
// request at a time, on the calling thread.
class PageFetcher {
 public:
  explicit PageFetcher(FetchOptions options = {});
  ~PageFetcher();
  PageFetcher(const PageFetcher&) = delete;
  PageFetcher& operator=(const PageFetcher&) = delete;

  // GETs an http:// or https:// address with the fixed request headers and returns the body's bytes
  // as received. Raises FetchError.
  std::string get(const std::string& address, const Pump& pump = {});

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};

// The body of address as text: the bytes when they are valid UTF-8, else empty text.
std::string geturltostr(PageFetcher& http, const std::string& address, const Pump& pump = {});

// The detail page's address that the view page at address carries between its link markers, with
// every "&nbsp;" removed; empty text when the markers are missing.
std::string getTrueUrl(PageFetcher& http, const std::string& address, const Pump& pump = {});

}  // namespace qinglan
