#include <iostream>
#include <string>

#include <httplib.h>
#include <CLI/CLI.hpp>

#include "tools/SampleSitePages.h"

namespace {

constexpr const char* kHtml = "text/html; charset=utf-8";
constexpr const char* kLoopback = "127.0.0.1";

void addRoutes(httplib::Server& server, const std::string& siteAddress) {
  using qinglan::tools::detailPage;
  server.Get("/", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(qinglan::tools::indexPage(), kHtml);
  });
  server.Get(R"(/d/sltview/([^/]+))",
             [siteAddress](const httplib::Request& request, httplib::Response& response) {
               response.set_content(qinglan::tools::viewPage(request.matches[1], siteAddress), kHtml);
             });
  server.Get(R"(/d/detail/([^/]+)\.html)", [](const httplib::Request& request, httplib::Response& response) {
    if (const auto page = detailPage(request.matches[1])) {
      response.set_content(*page, kHtml);
    } else {
      response.status = 404;
    }
  });
  server.Get("/Ad/Ads.html", [siteAddress](const httplib::Request&, httplib::Response& response) {
    response.set_content(qinglan::tools::advertisementPage(siteAddress), kHtml);
  });
  server.Get("/freeView.aspx", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(qinglan::tools::programPage(), kHtml);
  });
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Serves the demo's sample update and home site on 127.0.0.1 until stopped"};
  int port = 0;
  app.add_option("--port", port, "The port to listen on (default: one the system chooses)")
      ->check(CLI::Range(0, 65535));
  CLI11_PARSE(app, argc, argv);

  httplib::Server server;
  // Headers and body go out in separate writes; without this each page waits for a delayed ACK.
  server.set_tcp_nodelay(true);
  port = port == 0 ? server.bind_to_any_port(kLoopback) : (server.bind_to_port(kLoopback, port) ? port : -1);
  if (port < 0) {
    std::cerr << "Cannot listen on " << kLoopback << '\n';
    return 1;
  }
  const std::string host = std::string(kLoopback) + ":" + std::to_string(port);
  addRoutes(server, "http://" + host);
  // The first line is the host, for scripts that start the site on a free port.
  std::cout << host << std::endl;
  return server.listen_after_bind() ? 0 : 1;
}
