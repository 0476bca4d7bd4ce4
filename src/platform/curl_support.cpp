#include "platform/curl_support.h"

namespace vu {

bool curlReady() {
    // Done on first use, from the one thread that runs transfers.
    static const bool ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ok;
}

} // namespace vu
