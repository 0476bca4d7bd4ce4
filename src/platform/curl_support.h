#pragma once

#include <QString>
#include <curl/curl.h>
#include <memory>

namespace vu {

// libcurl's process-wide set-up, done once before the first transfer; false when it failed.
[[nodiscard]] bool curlReady();

// What a failed transfer tells the operator: his words for the common causes (unknown server,
// refused, timed out, secure connection), then the library's own text (`detail`, else its text
// for the code).
[[nodiscard]] QString curlErrorText(CURLcode code, const char* detail);

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
