#include "web/PageFetcher.h"

#include <utility>

#include "web/CurlLibrary.h"
#include "web/Utf8.h"
#include "web/UtilString.h"

namespace qinglan {
namespace {

FetchFailure failureOf(CURLcode code) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
      return FetchFailure::NoServer;
    case CURLE_COULDNT_CONNECT:
      return FetchFailure::Refused;
    case CURLE_OPERATION_TIMEDOUT:
      return FetchFailure::TimedOut;
    case CURLE_PARTIAL_FILE:
    case CURLE_GOT_NOTHING:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
      return FetchFailure::Broken;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
      return FetchFailure::Certificate;
    default:
      return FetchFailure::Other;
  }
}

constexpr const char* kUserAgent =
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 6.1; Trident/4.0; SLCC2; .NET CLR 2.0.50727; .NET CLR "
    "3.5.30729; .NET CLR 3.0.30729; Media Center PC 6.0)";

struct HeaderList {
  const CurlLibrary& curl = curlLibrary();
  curl_slist* list = nullptr;
  ~HeaderList() { curl.slist_free_all(list); }
  void add(const std::string& line) {
    curl_slist* grown = curl.slist_append(list, line.c_str());
    if (grown == nullptr)
      throw FetchError("Out of memory building the request");
    list = grown;
  }
};

struct UrlHandle {
  const CurlLibrary& curl = curlLibrary();
  CURLU* url = curl.url();
  ~UrlHandle() { curl.url_cleanup(url); }
  std::string part(CURLUPart which, unsigned flags) const {
    char* text = nullptr;
    if (curl.url_get(url, which, &text, flags) != CURLUE_OK)
      return {};
    std::string result = text;
    curl.free(text);
    return result;
  }
};

// The Host header: the address's host, with ":" and the port unless the port is 80.
std::string hostHeaderValue(const std::string& address) {
  UrlHandle parsed;
  if (parsed.url == nullptr)
    throw FetchError("Out of memory parsing " + address);
  if (const CURLUcode code = parsed.curl.url_set(parsed.url, CURLUPART_URL, address.c_str(), 0);
      code != CURLUE_OK) {
    throw FetchError(std::string(parsed.curl.url_strerror(code)) + ": " + address);
  }
  std::string host = parsed.part(CURLUPART_HOST, 0);
  const std::string port = parsed.part(CURLUPART_PORT, CURLU_DEFAULT_PORT);
  if (!port.empty() && port != "80")
    host += ":" + port;
  return host;
}

}  // namespace

struct PageFetcher::Impl {
  const CurlLibrary& curl = curlLibrary();
  FetchOptions options;
  CURLM* multi = nullptr;
  CURL* easy = nullptr;
  char errorBuffer[CURL_ERROR_SIZE] = {};
  std::string body;
  std::string statusLine;
  bool bodyTooLarge = false;
  HeaderList headers;

  static size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* self = static_cast<Impl*>(user);
    const size_t bytes = size * count;
    if (self->body.size() + bytes > self->options.maxBodyBytes) {
      self->bodyTooLarge = true;
      return 0;
    }
    self->body.append(data, bytes);
    return bytes;
  }

  static size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto* self = static_cast<Impl*>(user);
    const std::string_view line(data, size * count);
    if (line.starts_with("HTTP/")) {
      self->statusLine = line.substr(0, line.find_last_not_of("\r\n") + 1);
    }
    return size * count;
  }

  void configure() {
    curl.easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer);
    curl.easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl.easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    // An empty proxy also overrides the proxy environment variables.
    curl.easy_setopt(easy, CURLOPT_PROXY, "");
    curl.easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    // An empty cookie file name switches the in-memory cookie store on without reading a file.
    curl.easy_setopt(easy, CURLOPT_COOKIEFILE, "");
    curl.easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl.easy_setopt(easy, CURLOPT_USERAGENT, kUserAgent);
    curl.easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connectTimeout.count()));
    curl.easy_setopt(easy, CURLOPT_TIMEOUT_MS, static_cast<long>(options.totalTimeout.count()));
    curl.easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options.maxBodyBytes));
    curl.easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Impl::onBody);
    curl.easy_setopt(easy, CURLOPT_WRITEDATA, this);
    curl.easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Impl::onHeader);
    curl.easy_setopt(easy, CURLOPT_HEADERDATA, this);
  }

  // Drives the transfer, calling the pump between waits; returns curl's result for it.
  CURLcode run(const Pump& pump) {
    struct Attached {
      const CurlLibrary& curl;
      CURLM* multi;
      CURL* easy;
      ~Attached() { curl.multi_remove_handle(multi, easy); }
    };
    if (const CURLMcode code = curl.multi_add_handle(multi, easy); code != CURLM_OK) {
      throw FetchError(curl.multi_strerror(code));
    }
    const Attached attached{curl, multi, easy};
    const int waitMs = pump ? static_cast<int>(options.pumpInterval.count()) : 1000;
    auto lastPump = std::chrono::steady_clock::now();
    for (int running = 1;;) {
      if (const CURLMcode code = curl.multi_perform(multi, &running); code != CURLM_OK) {
        throw FetchError(curl.multi_strerror(code));
      }
      if (running == 0)
        break;
      if (const CURLMcode code = curl.multi_poll(multi, nullptr, 0, waitMs, nullptr); code != CURLM_OK) {
        throw FetchError(curl.multi_strerror(code));
      }
      if (pump && std::chrono::steady_clock::now() - lastPump >= options.pumpInterval) {
        lastPump = std::chrono::steady_clock::now();
        pump();
      }
    }
    int left = 0;
    while (CURLMsg* message = curl.multi_info_read(multi, &left)) {
      if (message->msg == CURLMSG_DONE && message->easy_handle == easy)
        return message->data.result;
    }
    return CURLE_OK;
  }

  [[noreturn]] void raise(CURLcode code, const std::string& address) const {
    if (bodyTooLarge || code == CURLE_FILESIZE_EXCEEDED) {
      throw FetchError(
          "The page is larger than " + std::to_string(options.maxBodyBytes) + " bytes: " + address,
          FetchFailure::TooLarge);
    }
    throw FetchError(errorBuffer[0] != '\0' ? errorBuffer : curl.easy_strerror(code), failureOf(code));
  }
};

bool pageFetcherAvailable() {
  return true;
}

PageFetcher::PageFetcher(FetchOptions options) : m_impl(std::make_unique<Impl>()) {
  m_impl->options = options;
  const CurlLibrary& curl = m_impl->curl;
  m_impl->multi = curl.multi_init();
  m_impl->easy = curl.easy_init();
  if (m_impl->multi == nullptr || m_impl->easy == nullptr) {
    curl.easy_cleanup(m_impl->easy);
    curl.multi_cleanup(m_impl->multi);
    throw FetchError("Unable to start the HTTP client");
  }
  m_impl->configure();
}

PageFetcher::~PageFetcher() {
  const CurlLibrary& curl = m_impl->curl;
  curl.easy_cleanup(m_impl->easy);
  curl.multi_cleanup(m_impl->multi);
}

std::string PageFetcher::get(const std::string& address, const Pump& pump) {
  Impl& impl = *m_impl;
  const CurlLibrary& curl = impl.curl;
  // The list stays with the handle until the next request replaces it.
  HeaderList headers;
  headers.add("Accept: */*");
  headers.add("Accept-Language: zh-cn");
  headers.add("Referer: " + address);
  headers.add("Host: " + hostHeaderValue(address));
  headers.add("Connection: Keep-Alive");
  headers.add("Content-Type: text/html");
  curl.easy_setopt(impl.easy, CURLOPT_HTTPGET, 1L);
  curl.easy_setopt(impl.easy, CURLOPT_URL, address.c_str());
  curl.easy_setopt(impl.easy, CURLOPT_HTTPHEADER, headers.list);
  std::swap(impl.headers.list, headers.list);
  impl.body.clear();
  impl.statusLine.clear();
  impl.bodyTooLarge = false;
  impl.errorBuffer[0] = '\0';

  const CURLcode result = impl.run(pump);
  if (result != CURLE_OK)
    impl.raise(result, address);
  long status = 0;
  curl.easy_getinfo(impl.easy, CURLINFO_RESPONSE_CODE, &status);
  if (status < 200 || status > 299) {
    throw FetchError(impl.statusLine.empty() ? "HTTP status " + std::to_string(status) : impl.statusLine,
                     FetchFailure::Status, status);
  }
  return std::move(impl.body);
}

}  // namespace qinglan
