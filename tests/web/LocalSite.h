#pragma once

#include <chrono>
#include <string>
#include <thread>

#include <httplib.h>

namespace qinglan::test {

// An HTTP server on 127.0.0.1 with a port of the system's choosing, for the web tests. Register the
// handlers on server(), then start(); the destructor stops it.
class LocalSite {
 public:
  // A kept connection is dropped after a second without a request, so that stopping does not wait
  // for a client that pools its connections beyond its own end (Wine's WinHTTP does).
  LocalSite()
      : m_port(m_server.set_tcp_nodelay(true).set_keep_alive_timeout(1).bind_to_any_port("127.0.0.1")) {}
  ~LocalSite() {
    if (!m_thread.joinable())
      return;
    // stop() only takes effect once the accept loop runs.
    while (!m_server.is_running())
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    m_server.stop();
    m_thread.join();
  }
  LocalSite(const LocalSite&) = delete;
  LocalSite& operator=(const LocalSite&) = delete;

  httplib::Server& server() { return m_server; }
  void start() {
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
  }

  int port() const { return m_port; }
  std::string host() const { return "127.0.0.1:" + std::to_string(m_port); }
  std::string address(const std::string& path) const { return "http://" + host() + path; }

 private:
  httplib::Server m_server;
  int m_port;
  std::thread m_thread;
};

}  // namespace qinglan::test
