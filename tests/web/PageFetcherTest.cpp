#include "web/PageFetcher.h"

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

// After httplib.h, which includes the system's socket headers in the order Windows needs.
#include "web/LocalSite.h"

#ifndef _WIN32
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include "support/ScopedEnv.h"

namespace qinglan {
namespace {

using namespace std::chrono_literals;
using test::LocalSite;

constexpr const char* kUserAgent =
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 6.1; Trident/4.0; SLCC2; .NET CLR 2.0.50727; .NET CLR "
    "3.5.30729; .NET CLR 3.0.30729; Media Center PC 6.0)";

using HeaderMap = std::map<std::string, std::string>;

// The request headers as the server saw them, without the server's own connection entries.
HeaderMap headersOf(const httplib::Request& request) {
  HeaderMap headers;
  for (const auto& [name, value] : request.headers) {
    if (name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" || name == "LOCAL_PORT")
      continue;
    headers[name] = value;
  }
  return headers;
}

// Records what each request carried.
class RequestLog {
 public:
  void add(const httplib::Request& request) {
    const std::lock_guard lock(m_mutex);
    m_requests.push_back({request.path, request.version, headersOf(request)});
  }
  struct Entry {
    std::string path;
    std::string version;
    HeaderMap headers;
  };
  std::vector<Entry> entries() const {
    const std::lock_guard lock(m_mutex);
    return m_requests;
  }

 private:
  mutable std::mutex m_mutex;
  std::vector<Entry> m_requests;
};

#ifdef _WIN32
using Socket = SOCKET;
constexpr Socket kNoSocket = INVALID_SOCKET;
constexpr int kNoSignal = 0;
void closeSocket(Socket socket) {
  ::closesocket(socket);
}
void setSendTimeout(Socket socket, std::chrono::milliseconds timeout) {
  const DWORD milliseconds = static_cast<DWORD>(timeout.count());
  ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&milliseconds),
               sizeof milliseconds);
}
#else
using Socket = int;
constexpr Socket kNoSocket = -1;
constexpr int kNoSignal = MSG_NOSIGNAL;
void closeSocket(Socket socket) {
  ::close(socket);
}
void setSendTimeout(Socket socket, std::chrono::milliseconds timeout) {
  const timeval wait{static_cast<time_t>(timeout.count() / 1000),
                     static_cast<suseconds_t>(timeout.count() % 1000 * 1000)};
  ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
}
#endif

bool runsUnderWine() {
#ifdef _WIN32
  return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
#else
  return false;
#endif
}

// A bare listening socket on 127.0.0.1: it never answers unless given replies, and then answers one
// connection per reply with exactly those bytes, keeping the request lines it read.
class RawServer {
 public:
  RawServer() : m_socket(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(m_socket, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(m_socket, 8) != 0 ||
        ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    m_port = ntohs(address.sin_port);
  }
  ~RawServer() {
    {
      const std::lock_guard lock(m_mutex);
      m_stopping = true;
    }
    m_stopped.notify_all();
    if (m_thread.joinable())
      m_thread.join();
    closeSocket(m_socket);
  }

  std::string address(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
  }

  void answer(std::vector<std::string> replies) {
    m_thread = std::thread([this, replies = std::move(replies)] {
      for (const std::string& reply : replies) {
        const Socket connection = acceptOne();
        if (connection == kNoSocket)
          return;
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos && readable(connection)) {
          const auto got = ::recv(connection, buffer, sizeof buffer, 0);
          if (got <= 0)
            break;
          request.append(buffer, static_cast<std::size_t>(got));
        }
        ::send(connection, reply.data(), static_cast<int>(reply.size()), kNoSignal);
        closeSocket(connection);
        const std::lock_guard lock(m_mutex);
        m_requestLines.push_back(request.substr(0, request.find("\r\n")));
      }
    });
  }

  // Answers one connection with head, then piece every interval, count times or without end
  // when count is 0, until the client goes away or the server is destroyed.
  void stream(std::string head, std::string piece, std::chrono::milliseconds interval, int count = 0) {
    m_thread = std::thread([this, head = std::move(head), piece = std::move(piece), interval, count] {
      const Socket connection = acceptOne();
      if (connection == kNoSocket)
        return;
      char buffer[4096];
      if (readable(connection))
        ::recv(connection, buffer, sizeof buffer, 0);
      // A client that stopped reading fails the send instead of holding it.
      setSendTimeout(connection, 100ms);
      bool open = ::send(connection, head.data(), static_cast<int>(head.size()), kNoSignal) >= 0;
      for (int sent = 0; open && (count == 0 || sent < count); ++sent) {
        std::unique_lock lock(m_mutex);
        if (m_stopped.wait_for(lock, interval, [this] { return m_stopping; }))
          break;
        lock.unlock();
        open = ::send(connection, piece.data(), static_cast<int>(piece.size()), kNoSignal) >= 0;
      }
      closeSocket(connection);
    });
  }

  std::vector<std::string> requestLines() {
    if (m_thread.joinable())
      m_thread.join();
    return m_requestLines;
  }

 private:
  // Waits, while the server runs, until the socket has something to read. No call blocks on a
  // socket for longer: shutting or closing one under a call blocked in another thread is what
  // Wine's server does not survive.
  bool readable(Socket socket) {
    for (;;) {
      {
        const std::lock_guard lock(m_mutex);
        if (m_stopping)
          return false;
      }
      fd_set sockets;
      FD_ZERO(&sockets);
      FD_SET(socket, &sockets);
      timeval wait{0, 20000};
      const int ready = ::select(static_cast<int>(socket) + 1, &sockets, nullptr, nullptr, &wait);
      if (ready != 0)
        return ready > 0;
    }
  }

  Socket acceptOne() { return readable(m_socket) ? ::accept(m_socket, nullptr, nullptr) : kNoSocket; }

  Socket m_socket;
  int m_port = 0;
  std::thread m_thread;
  std::mutex m_mutex;
  std::condition_variable m_stopped;
  bool m_stopping = false;
  std::vector<std::string> m_requestLines;
};

class PageFetcherTest : public testing::Test {
 protected:
  void SetUp() override {
    auto& server = m_site.server();
    server.Get("/page", [this](const httplib::Request& request, httplib::Response& response) {
      m_log.add(request);
      response.set_content("hello", "text/html");
    });
    server.Get("/login", [this](const httplib::Request& request, httplib::Response& response) {
      m_log.add(request);
      response.set_header("Set-Cookie", "session=abc123; Path=/");
      response.set_content("welcome", "text/html");
    });
    server.Get("/missing",
               [](const httplib::Request&, httplib::Response& response) { response.status = 404; });
    server.Get("/broken",
               [](const httplib::Request&, httplib::Response& response) { response.status = 500; });
    server.Get("/moved", [this](const httplib::Request&, httplib::Response& response) {
      response.set_redirect(m_site.address("/page"));
    });
    server.Get("/empty", [](const httplib::Request&, httplib::Response& response) { response.status = 200; });
    server.Get("/gbk", [](const httplib::Request&, httplib::Response& response) {
      response.set_content("<h1>\xD6\xD0\xCE\xC4</h1>", "text/html");
    });
    server.Get("/emoji", [](const httplib::Request&, httplib::Response& response) {
      response.set_content("<h1>\xE6\x99\xB4 \xF0\x9F\x98\x80</h1>", "text/html");
    });
    server.Get("/sized", [](const httplib::Request& request, httplib::Response& response) {
      response.set_content(std::string(std::stoul(request.get_param_value("n")), 'x'), "text/html");
    });
    server.Get("/streamed", [](const httplib::Request&, httplib::Response& response) {
      response.set_chunked_content_provider("text/html", [](std::size_t offset, httplib::DataSink& sink) {
        if (offset >= 4096) {
          sink.done();
          return true;
        }
        const std::string block(512, 'y');
        return sink.write(block.data(), block.size());
      });
    });
    server.Get("/slow", [](const httplib::Request&, httplib::Response& response) {
      std::this_thread::sleep_for(300ms);
      response.set_content("late", "text/html");
    });
    server.Get("/view", [this](const httplib::Request& request, httplib::Response& response) {
      response.set_content(m_viewPages.at(request.get_param_value("page")), "text/html");
    });
    m_site.start();
  }

  LocalSite m_site;
  RequestLog m_log;
  std::map<std::string, std::string> m_viewPages;
};

TEST_F(PageFetcherTest, SendsExactlyTheFixedHeaders) {
  PageFetcher http;
  const std::string address = m_site.address("/page?id=7&x=y");
  EXPECT_EQ(geturltostr(http, address), "hello");

  const auto requests = m_log.entries();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].version, "HTTP/1.1");
  const HeaderMap expected{{"Accept", "*/*"},
                           {"Accept-Language", "zh-cn"},
                           {"Connection", "Keep-Alive"},
                           {"Content-Type", "text/html"},
                           {"Host", m_site.host()},
                           {"Referer", address},
                           {"User-Agent", kUserAgent}};
  EXPECT_EQ(requests[0].headers, expected);
}

TEST_F(PageFetcherTest, CarriesCookiesForTheFetcherLifeOnly) {
  PageFetcher http;
  geturltostr(http, m_site.address("/login"));
  geturltostr(http, m_site.address("/login"));
  geturltostr(http, m_site.address("/page"));
  PageFetcher other;
  geturltostr(other, m_site.address("/page"));

  const auto requests = m_log.entries();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_FALSE(requests[0].headers.contains("Cookie"));
  auto second = requests[1].headers;
  EXPECT_EQ(second["Cookie"], "session=abc123");
  second.erase("Cookie");
  EXPECT_EQ(second, requests[0].headers);
  EXPECT_EQ(requests[2].headers.at("Cookie"), "session=abc123");
  EXPECT_FALSE(requests[3].headers.contains("Cookie"));
}

TEST_F(PageFetcherTest, FailsOnEveryStatusOutside2xx) {
  PageFetcher http;
  for (const char* path : {"/missing", "/moved", "/broken"}) {
    SCOPED_TRACE(path);
    EXPECT_THROW(geturltostr(http, m_site.address(path)), FetchError);
  }
  EXPECT_TRUE(m_log.entries().empty()) << "the redirect was followed";
  try {
    http.get(m_site.address("/missing"));
  } catch (const FetchError& error) {
    EXPECT_NE(std::string(error.what()).find("404"), std::string::npos) << error.what();
    EXPECT_TRUE(error.answered());
    EXPECT_EQ(fetchFailureReason(error), "服务器返回 404");
  }
}

TEST_F(PageFetcherTest, DecodesOnlyValidUtf8Bodies) {
  PageFetcher http;
  EXPECT_EQ(geturltostr(http, m_site.address("/empty")), "");
  EXPECT_EQ(geturltostr(http, m_site.address("/gbk")), "");
  EXPECT_EQ(geturltostr(http, m_site.address("/emoji")), "<h1>\xE6\x99\xB4 \xF0\x9F\x98\x80</h1>");
}

TEST_F(PageFetcherTest, RefusesBodiesOverTheLimit) {
  PageFetcher http(FetchOptions{.maxBodyBytes = 1024});
  EXPECT_EQ(http.get(m_site.address("/sized?n=1024")).size(), 1024u);
  EXPECT_THROW(http.get(m_site.address("/sized?n=1025")), FetchError);
  EXPECT_THROW(http.get(m_site.address("/streamed")), FetchError);
  EXPECT_EQ(http.get(m_site.address("/page")), "hello") << "the fetcher must stay usable";
}

TEST_F(PageFetcherTest, RefusesOtherSchemesAndBadAddresses) {
  PageFetcher http;
  const std::string ftp = "ftp://" + m_site.host() + "/page";
  for (const std::string& address :
       {ftp, std::string("file:///etc/hostname"), std::string(""), std::string("not an address")}) {
    SCOPED_TRACE(address);
    EXPECT_THROW(http.get(address), FetchError);
  }
}

TEST_F(PageFetcherTest, IgnoresProxyEnvironment) {
  std::vector<std::unique_ptr<test::ScopedEnv>> environment;
  for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) {
    environment.push_back(std::make_unique<test::ScopedEnv>(name, "http://127.0.0.1:9"));
  }
  for (const char* name : {"no_proxy", "NO_PROXY"}) {
    environment.push_back(std::make_unique<test::ScopedEnv>(name, std::nullopt));
  }
  PageFetcher http;
  EXPECT_EQ(http.get(m_site.address("/page")), "hello");
}

TEST_F(PageFetcherTest, PumpRunsWhileWaitingAndCanCancel) {
  PageFetcher http;
  int pumped = 0;
  EXPECT_EQ(http.get(m_site.address("/slow"), [&] { ++pumped; }), "late");
  EXPECT_GT(pumped, 0);

  struct Cancelled {};
  geturltostr(http, m_site.address("/login"));
  EXPECT_THROW(http.get(m_site.address("/slow"), [] { throw Cancelled{}; }), Cancelled);
  EXPECT_EQ(http.get(m_site.address("/page")), "hello");
  EXPECT_EQ(m_log.entries().back().headers.at("Cookie"), "session=abc123");
}

struct TrueUrlCase {
  const char* label;
  std::string page;
  std::string address;
};

class GetTrueUrlTest : public PageFetcherTest, public testing::WithParamInterface<TrueUrlCase> {};

TEST_P(GetTrueUrlTest, CutsBetweenTheLinkMarkers) {
  m_viewPages["p"] = GetParam().page;
  PageFetcher http;
  EXPECT_EQ(getTrueUrl(http, m_site.address("/view?page=p")), GetParam().address);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GetTrueUrlTest,
    testing::Values(TrueUrlCase{"bothMarkers", R"({"linkHistroy":["http://h/d/1.html"],"histroyIndex":0})",
                                "http://h/d/1.html"},
                    TrueUrlCase{"nbspInside",
                                R"(x"linkHistroy":["http://h/&nbsp;d/1&nbsp;.html"],"histroyIndex")",
                                "http://h/d/1.html"},
                    TrueUrlCase{"onlyStartMarker", R"("linkHistroy":["http://h/d/1.html"])", ""},
                    TrueUrlCase{"endBeforeStart", R"("],"histroyIndex" "linkHistroy":["http://h/")", ""},
                    TrueUrlCase{"noMarkers", "<html></html>", ""},
                    TrueUrlCase{"severalEntries", R"("linkHistroy":["a","b"],"histroyIndex")", R"(a","b)"},
                    TrueUrlCase{"notUtf8", "\"linkHistroy\":[\"\xD6\xD0\"],\"histroyIndex\"", ""}),
    [](const testing::TestParamInfo<TrueUrlCase>& info) { return std::string(info.param.label); });

TEST(PageFetcherRawTest, KeepsHttp11AfterAnHttp10Answer) {
  RawServer server;
  server.answer({"HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok", "HTTP/1.0 200 OK\r\n\r\nagain"});
  PageFetcher http;
  EXPECT_EQ(http.get(server.address("/first")), "ok");
  EXPECT_EQ(http.get(server.address("/second")), "again");
  EXPECT_EQ(server.requestLines(), (std::vector<std::string>{"GET /first HTTP/1.1", "GET /second HTTP/1.1"}));
}

TEST(PageFetcherRawTest, GivesUpOnAServerThatNeverAnswers) {
  RawServer silent;
  PageFetcher http(FetchOptions{.connectTimeout = 200ms, .totalTimeout = 300ms});
  try {
    http.get(silent.address("/"));
    ADD_FAILURE() << "no FetchError";
  } catch (const FetchError& error) {
    EXPECT_TRUE(error.timedOut()) << error.what();
    EXPECT_EQ(fetchFailureReason(error), "连接超时");
  }
}

TEST(PageFetcherRawTest, StopsAnEndlessBodyAtTheSizeLimit) {
  RawServer endless;
  endless.stream("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n", std::string(65536, 'x'), 0ms);
  PageFetcher http(FetchOptions{.maxBodyBytes = 1 << 20});
  EXPECT_THROW(geturltostr(http, endless.address("/")), FetchError);

  RawServer boasting;
  boasting.answer({"HTTP/1.1 200 OK\r\nContent-Length: 100000000000\r\n\r\nxxxx"});
  EXPECT_THROW(geturltostr(http, boasting.address("/")), FetchError);
}

TEST(PageFetcherRawTest, GivesUpOnABodyThatDripsAndKeepsPumping) {
  RawServer dripping;
  dripping.stream("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n", "x", 1s);
  PageFetcher http(FetchOptions{.connectTimeout = 500ms, .totalTimeout = 1500ms});
  int pumped = 0;
  EXPECT_THROW(geturltostr(http, dripping.address("/"), [&] { ++pumped; }), FetchError);
  EXPECT_GT(pumped, 0);
}

// A body cut short is a failed fetch, never a shorter page.
TEST(PageFetcherRawTest, FailsOnAConnectionClosedMidBody) {
  std::vector<std::string> cuts{"HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n<h1>partial"};
  // Wine's WinHTTP ends a chunked body cut short as a whole one, and says nothing of the chunks.
  if (!runsUnderWine()) {
    cuts.push_back("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n");
    cuts.push_back("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n20\r\nhalf a chunk");
  }
  std::vector<std::string> replies = cuts;
  replies.push_back("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
  RawServer server;
  server.answer(replies);
  PageFetcher http;
  for (std::size_t cut = 0; cut < cuts.size(); ++cut)
    EXPECT_THROW(geturltostr(http, server.address("/cut")), FetchError) << cut;
  EXPECT_EQ(geturltostr(http, server.address("/whole")), "ok") << "the fetcher must stay usable";
}

TEST(PageFetcherRawTest, FailsWhenNothingListens) {
  int port = 0;
  {
    RawServer closed;
    port = std::stoi(closed.address("").substr(std::string("http://127.0.0.1:").size()));
  }
  PageFetcher http;
  try {
    http.get("http://127.0.0.1:" + std::to_string(port) + "/");
    ADD_FAILURE() << "no FetchError";
  } catch (const FetchError& error) {
    EXPECT_FALSE(error.timedOut()) << error.what();
    EXPECT_EQ(fetchFailureReason(error), "连接被拒绝");
  }
}

}  // namespace
}  // namespace qinglan
