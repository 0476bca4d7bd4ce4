#include "platform/curl_support.h"

namespace vu {

bool curlReady() {
    // Done on first use, on the window thread: the start-up's downloads come first, and the
    // report mail's worker is started only after a call here.
    static const bool ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    return ok;
}

QString curlErrorText(CURLcode code, const char* detail) {
    QString words;
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        words = QStringLiteral("Serveur inconnu");
        break;
    case CURLE_COULDNT_CONNECT:
        words = QStringLiteral("Connexion refusée");
        break;
    case CURLE_OPERATION_TIMEDOUT:
        words = QStringLiteral("Le serveur ne répond pas (délai dépassé)");
        break;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_USE_SSL_FAILED:
        words = QStringLiteral("Connexion sécurisée impossible");
        break;
    case CURLE_LOGIN_DENIED:
        words = QStringLiteral("Le serveur refuse l'accès");
        break;
    default:
        break;
    }
    const QString library = QString::fromUtf8(
        detail != nullptr && detail[0] != '\0' ? detail : curl_easy_strerror(code));
    return words.isEmpty() ? library : words + QStringLiteral(" (") + library + u')';
}

} // namespace vu
