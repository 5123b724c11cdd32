#include "web/PageFetcher.h"

#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "platform/NativePath.h"
#include "platform/WorkerThread.h"

namespace qinglan {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const wchar_t* kUserAgent =
    L"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 6.1; Trident/4.0; SLCC2; .NET CLR 2.0.50727; .NET CLR "
    L"3.5.30729; .NET CLR 3.0.30729; Media Center PC 6.0)";

FetchFailure failureOf(DWORD error) {
  switch (error) {
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      return FetchFailure::NoServer;
    case ERROR_WINHTTP_CANNOT_CONNECT:
      return FetchFailure::Refused;
    case ERROR_WINHTTP_TIMEOUT:
    // Wine passes the socket's own time-out on.
    case WSAETIMEDOUT:
      return FetchFailure::TimedOut;
    // A server that closes without a whole answer broke the connection, as one that closes mid-body.
    case ERROR_WINHTTP_CONNECTION_ERROR:
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
      return FetchFailure::Broken;
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
    case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
      return FetchFailure::Certificate;
    default:
      return FetchFailure::Other;
  }
}

// WinHTTP's own text for its error codes lives in winhttp.dll, not in the system's table.
std::string errorText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_HMODULE |
                                            FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        ::GetModuleHandleW(L"winhttp.dll"), error, 0,
                                        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message;
  if (length > 0)
    message = platform::utf8Text(std::wstring_view(text, length));
  ::LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
    message.pop_back();
  const std::string code = "WinHTTP error " + std::to_string(error);
  return message.empty() ? code : message + " (" + code + ")";
}

[[noreturn]] void raise(DWORD error) {
  throw FetchError(errorText(error), failureOf(error));
}

struct Handle {
  HINTERNET handle = nullptr;
  explicit Handle(HINTERNET opened) : handle(opened) {}
  ~Handle() { close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  void close() {
    if (handle != nullptr)
      ::WinHttpCloseHandle(std::exchange(handle, nullptr));
  }
};

struct Address {
  INTERNET_SCHEME scheme = 0;
  std::wstring host;
  INTERNET_PORT port = 0;
  std::wstring pathAndQuery;
};

Address parse(const std::string& address) {
  const std::wstring wide = platform::wideText(address);
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwSchemeLength = static_cast<DWORD>(-1);
  parts.dwHostNameLength = static_cast<DWORD>(-1);
  parts.dwUrlPathLength = static_cast<DWORD>(-1);
  parts.dwExtraInfoLength = static_cast<DWORD>(-1);
  if (wide.empty() || !::WinHttpCrackUrl(wide.c_str(), static_cast<DWORD>(wide.size()), 0, &parts))
    throw FetchError("URL using bad/illegal format or missing URL: " + address);
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
    throw FetchError("Protocol not supported: " + address);
  if (parts.dwHostNameLength == 0)
    throw FetchError("No host part in the URL: " + address);
  Address result{parts.nScheme, std::wstring(parts.lpszHostName, parts.dwHostNameLength), parts.nPort,
                 std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                     std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength)};
  if (result.pathAndQuery.empty())
    result.pathAndQuery = L"/";
  return result;
}

// The Host header: the address's host, with ":" and the port unless the port is 80.
std::wstring hostHeaderValue(const Address& address) {
  return address.port == 80 ? address.host : address.host + L":" + std::to_wstring(address.port);
}

void addHeader(HINTERNET request, const std::wstring& line) {
  if (!::WinHttpAddRequestHeaders(request, line.c_str(), static_cast<DWORD>(line.size()),
                                  WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE)) {
    raise(::GetLastError());
  }
}

std::wstring queryText(HINTERNET request, DWORD which) {
  DWORD bytes = 0;
  ::WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &bytes,
                        WINHTTP_NO_HEADER_INDEX);
  if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
    return {};
  std::wstring text(bytes / sizeof(wchar_t), L'\0');
  if (!::WinHttpQueryHeaders(request, which, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &bytes,
                             WINHTTP_NO_HEADER_INDEX)) {
    return {};
  }
  text.resize(bytes / sizeof(wchar_t));
  return text;
}

// One request's answer, read on a worker thread while the calling thread pumps.
class Transfer {
 public:
  Transfer(HINTERNET request, const FetchOptions& options, std::string address)
      : m_request(request), m_options(options), m_address(std::move(address)) {}

  void run() {
    try {
      receive();
    } catch (...) {
      m_failure = std::current_exception();
    }
    const std::lock_guard lock(m_mutex);
    m_done = true;
    m_doneChanged.notify_all();
  }

  // Waits at most `wait` for the transfer to end; true when it has.
  bool waitFor(std::chrono::milliseconds wait) {
    std::unique_lock lock(m_mutex);
    return m_doneChanged.wait_for(lock, wait, [this] { return m_done; });
  }

  // Ends the reading at the next piece: some WinHTTP versions finish a read on a closed handle.
  void abandon() { m_abandoned = true; }

  std::string result() {
    if (m_failure)
      std::rethrow_exception(m_failure);
    return std::move(m_body);
  }

 private:
  void receive() {
    if (!::WinHttpSendRequest(m_request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0,
                              0) ||
        !::WinHttpReceiveResponse(m_request, nullptr)) {
      raise(::GetLastError());
    }
    checkStatus();
    const std::optional<unsigned long long> announced = contentLength();
    if (announced && *announced > m_options.maxBodyBytes)
      tooLarge();
    readBody();
    // WinHTTP ends the body without an error when the server closes early.
    if (announced && m_body.size() != *announced) {
      throw FetchError("Transferred a partial file: " + std::to_string(m_body.size()) + " of " +
                           std::to_string(*announced) + " bytes",
                       FetchFailure::Broken);
    }
  }

  void checkStatus() const {
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!::WinHttpQueryHeaders(m_request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
      raise(::GetLastError());
    }
    if (status >= 200 && status <= 299)
      return;
    const std::wstring headers = queryText(m_request, WINHTTP_QUERY_RAW_HEADERS_CRLF);
    const std::string statusLine = platform::utf8Text(headers.substr(0, headers.find(L"\r\n")));
    throw FetchError(statusLine.empty() ? "HTTP status " + std::to_string(status) : statusLine,
                     FetchFailure::Status, static_cast<long>(status));
  }

  // The announced body length, read as text: WinHTTP's numbers stop at 32 bits.
  std::optional<unsigned long long> contentLength() const {
    const std::wstring text = queryText(m_request, WINHTTP_QUERY_CONTENT_LENGTH);
    if (text.empty() || text.find_first_not_of(L"0123456789") != std::wstring::npos || text.size() > 19)
      return std::nullopt;
    return std::stoull(text);
  }

  void readBody() {
    char buffer[16384];
    for (;;) {
      // Reading only what has come keeps each call to one wait: a read for more may wait for all of it.
      DWORD available = 0;
      if (!::WinHttpQueryDataAvailable(m_request, &available))
        raise(::GetLastError());
      if (available == 0 || m_abandoned)
        return;
      DWORD got = 0;
      if (!::WinHttpReadData(m_request, buffer, std::min<DWORD>(available, sizeof buffer), &got))
        raise(::GetLastError());
      if (got == 0 || m_abandoned)
        return;
      if (m_body.size() + got > m_options.maxBodyBytes)
        tooLarge();
      m_body.append(buffer, got);
    }
  }

  [[noreturn]] void tooLarge() const {
    throw FetchError(
        "The page is larger than " + std::to_string(m_options.maxBodyBytes) + " bytes: " + m_address,
        FetchFailure::TooLarge);
  }

  HINTERNET m_request;
  const FetchOptions& m_options;
  std::string m_address;
  std::string m_body;
  std::exception_ptr m_failure;
  std::mutex m_mutex;
  std::condition_variable m_doneChanged;
  bool m_done = false;
  std::atomic<bool> m_abandoned{false};
};

}  // namespace

struct PageFetcher::Impl {
  FetchOptions options;
  // WinHTTP keeps the cookies that answers set per session: one session is the fetcher's cookie jar.
  Handle session{::WinHttpOpen(kUserAgent, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                               WINHTTP_NO_PROXY_BYPASS, 0)};

  HINTERNET openRequest(Handle& connection, const Address& address, const std::string& text) const {
    const DWORD flags = address.scheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
    HINTERNET request =
        ::WinHttpOpenRequest(connection.handle, L"GET", address.pathAndQuery.c_str(), L"HTTP/1.1",
                             WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags);
    if (request == nullptr)
      raise(::GetLastError());
    Handle owned(request);
    DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    if (!::WinHttpSetOption(request, WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never))
      raise(::GetLastError());
    addHeader(request, L"Accept: */*");
    addHeader(request, L"Accept-Language: zh-cn");
    addHeader(request, L"Referer: " + platform::wideText(text));
    addHeader(request, L"Host: " + hostHeaderValue(address));
    addHeader(request, L"Connection: Keep-Alive");
    addHeader(request, L"Content-Type: text/html");
    return std::exchange(owned.handle, nullptr);
  }

  // Waits for the transfer, pumping every pumpInterval, until it ends or the total time is up.
  // Returns false on time-out. A pump's exception leaves this with the transfer still running.
  bool await(Transfer& transfer, const Pump& pump) const {
    const auto deadline = Clock::now() + options.totalTimeout;
    for (;;) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
      if (left <= std::chrono::milliseconds::zero())
        return false;
      const auto wait = pump ? std::min(left, options.pumpInterval) : left;
      if (transfer.waitFor(wait))
        return true;
      if (pump)
        pump();
    }
  }
};

bool pageFetcherAvailable() {
  return true;
}

PageFetcher::PageFetcher(FetchOptions options) : m_impl(std::make_unique<Impl>()) {
  m_impl->options = options;
  if (m_impl->session.handle == nullptr)
    throw FetchError("Unable to start the HTTP client: " + errorText(::GetLastError()));
  const int connectMs = static_cast<int>(options.connectTimeout.count());
  const int totalMs = static_cast<int>(options.totalTimeout.count());
  ::WinHttpSetTimeouts(m_impl->session.handle, connectMs, connectMs, totalMs, totalMs);
  // The wait for the answer's head has a limit of its own, apart from the receive time-out.
  DWORD headMs = static_cast<DWORD>(totalMs);
  ::WinHttpSetOption(m_impl->session.handle, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &headMs, sizeof headMs);
}

PageFetcher::~PageFetcher() = default;

std::string PageFetcher::get(const std::string& address, const Pump& pump) {
  Impl& impl = *m_impl;
  const Address parsed = parse(address);
  Handle connection(::WinHttpConnect(impl.session.handle, parsed.host.c_str(), parsed.port, 0));
  if (connection.handle == nullptr)
    raise(::GetLastError());
  Handle request(impl.openRequest(connection, parsed, address));

  Transfer transfer(request.handle, impl.options, address);
  std::thread worker = platform::startWorkerThread([&transfer] { transfer.run(); });
  // Closing the request handle is WinHTTP's way to abort a call blocked on it in another thread.
  auto abandon = [&] {
    transfer.abandon();
    request.close();
    worker.join();
  };
  bool finished = false;
  try {
    finished = impl.await(transfer, pump);
  } catch (...) {
    abandon();
    throw;
  }
  if (!finished) {
    abandon();
    throw FetchError("Operation timed out after " + std::to_string(impl.options.totalTimeout.count()) +
                         " milliseconds: " + address,
                     FetchFailure::TimedOut);
  }
  worker.join();
  return transfer.result();
}

}  // namespace qinglan
