#include "platform/curl_support.h"

#include <gtest/gtest.h>

namespace vu {
namespace {

TEST(CurlErrorText, CommonFailuresInTheOperatorsWordsThenTheLibrarysText) {
    struct Case {
        CURLcode code;
        const char* detail;
        const char* expected;
    };
    const Case cases[] = {
        {CURLE_COULDNT_RESOLVE_HOST, "Could not resolve host: smtp.nowhere.fr",
         "Serveur inconnu (Could not resolve host: smtp.nowhere.fr)"},
        {CURLE_COULDNT_CONNECT, "", "Connexion refusée (Couldn't connect to server)"},
        {CURLE_OPERATION_TIMEDOUT, "Connection timed out after 5001 milliseconds",
         "Le serveur ne répond pas (délai dépassé) (Connection timed out after 5001 "
         "milliseconds)"},
        {CURLE_PEER_FAILED_VERIFICATION, "SSL certificate problem",
         "Connexion sécurisée impossible (SSL certificate problem)"},
        // Anything else keeps the library's text alone.
        {CURLE_SEND_ERROR, "", "Failed sending data to the peer"},
        {CURLE_RECV_ERROR, nullptr, "Failure when receiving data from the peer"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(curlErrorText(c.code, c.detail).toStdString(), c.expected);
    }
}

} // namespace
} // namespace vu
