#pragma once

#include <curl/curl.h>

namespace qinglan {

// The entry points of libcurl that the HTTP client calls. The library is loaded at the first fetch
// instead of being linked: with its TLS, Kerberos and LDAP libraries it would add about 9 ms to
// every start of every command, most of which never fetch anything.
struct CurlLibrary {
  decltype(&curl_global_init) global_init;
  decltype(&curl_easy_init) easy_init;
  decltype(&curl_easy_cleanup) easy_cleanup;
  decltype(&curl_easy_setopt) easy_setopt;
  decltype(&curl_easy_getinfo) easy_getinfo;
  decltype(&curl_easy_strerror) easy_strerror;
  decltype(&curl_multi_init) multi_init;
  decltype(&curl_multi_cleanup) multi_cleanup;
  decltype(&curl_multi_add_handle) multi_add_handle;
  decltype(&curl_multi_remove_handle) multi_remove_handle;
  decltype(&curl_multi_perform) multi_perform;
  decltype(&curl_multi_poll) multi_poll;
  decltype(&curl_multi_info_read) multi_info_read;
  decltype(&curl_multi_strerror) multi_strerror;
  decltype(&curl_slist_append) slist_append;
  decltype(&curl_slist_free_all) slist_free_all;
  decltype(&curl_url) url;
  decltype(&curl_url_cleanup) url_cleanup;
  decltype(&curl_url_get) url_get;
  decltype(&curl_url_set) url_set;
  decltype(&curl_url_strerror) url_strerror;
  decltype(&curl_free) free;
};

// The library, loaded and initialised once; raises FetchError when it cannot be.
const CurlLibrary& curlLibrary();

}  // namespace qinglan
