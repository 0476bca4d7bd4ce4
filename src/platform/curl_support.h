#pragma once

#include <curl/curl.h>
#include <memory>

namespace vu {

// libcurl's process-wide set-up, done once before the first transfer; false when it failed.
[[nodiscard]] bool curlReady();

// Frees each kind of libcurl object the way libcurl wants it freed.
struct CurlDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
    void operator()(curl_mime* mime) const { curl_mime_free(mime); }
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// An owned libcurl object.
template <typename T>
using CurlPtr = std::unique_ptr<T, CurlDeleter>;

} // namespace vu
