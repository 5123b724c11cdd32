#include "web/CurlLibrary.h"

#include <string>

#include "platform/SharedLibrary.h"
#include "web/PageFetcher.h"

namespace qinglan {
namespace {

constexpr const char* kLibraryName = "libcurl.so.4";

template <typename Function>
void resolve(const platform::SharedLibrary& library, const char* name, Function& function) {
  void* const symbol = library.symbol(name);
  if (symbol == nullptr)
    throw FetchError(std::string("The HTTP client library lacks ") + name);
  function = reinterpret_cast<Function>(symbol);
}

CurlLibrary load() {
  const platform::SharedLibrary library = [] {
    try {
      return platform::SharedLibrary::load(kLibraryName);
    } catch (const platform::SharedLibraryError& error) {
      throw FetchError(std::string("Unable to load the HTTP client library: ") + error.what());
    }
  }();
  CurlLibrary curl{};
  resolve(library, "curl_global_init", curl.global_init);
  resolve(library, "curl_easy_init", curl.easy_init);
  resolve(library, "curl_easy_cleanup", curl.easy_cleanup);
  resolve(library, "curl_easy_setopt", curl.easy_setopt);
  resolve(library, "curl_easy_getinfo", curl.easy_getinfo);
  resolve(library, "curl_easy_strerror", curl.easy_strerror);
  resolve(library, "curl_multi_init", curl.multi_init);
  resolve(library, "curl_multi_cleanup", curl.multi_cleanup);
  resolve(library, "curl_multi_add_handle", curl.multi_add_handle);
  resolve(library, "curl_multi_remove_handle", curl.multi_remove_handle);
  resolve(library, "curl_multi_perform", curl.multi_perform);
  resolve(library, "curl_multi_poll", curl.multi_poll);
  resolve(library, "curl_multi_info_read", curl.multi_info_read);
  resolve(library, "curl_multi_strerror", curl.multi_strerror);
  resolve(library, "curl_slist_append", curl.slist_append);
  resolve(library, "curl_slist_free_all", curl.slist_free_all);
  resolve(library, "curl_url", curl.url);
  resolve(library, "curl_url_cleanup", curl.url_cleanup);
  resolve(library, "curl_url_get", curl.url_get);
  resolve(library, "curl_url_set", curl.url_set);
  resolve(library, "curl_url_strerror", curl.url_strerror);
  resolve(library, "curl_free", curl.free);
  if (const CURLcode result = curl.global_init(CURL_GLOBAL_DEFAULT); result != CURLE_OK)
    throw FetchError(curl.easy_strerror(result));
  return curl;
}

}  // namespace

// A failed load is tried again at the next fetch.
const CurlLibrary& curlLibrary() {
  static const CurlLibrary curl = load();
  return curl;
}

}  // namespace qinglan
