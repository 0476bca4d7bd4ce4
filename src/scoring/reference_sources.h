#pragma once

#include "platform/http_download.h"

#include <QString>

namespace vu {

// The public country-file server and the club's web server, over HTTPS.
inline constexpr char kCountryFileServer[] = "https://www.country-files.com";
inline constexpr char kClubServer[] = "https://www.vuz.example";

// Where the reference files are fetched from. The program uses the servers above; tests point
// them at a server of their own.
struct ReferenceSources {
    QString countryFileServer = QString::fromLatin1(kCountryFileServer);
    QString clubServer = QString::fromLatin1(kClubServer);
    HttpOptions http;

    [[nodiscard]] QString countryFileUrl() const {
        return countryFileServer + QStringLiteral("/cty/cty_wt.dat");
    }
    [[nodiscard]] QString rosterUrl() const {
        return clubServer + QStringLiteral("/Concours/VUZ_adar_2021.csv");
    }
};

} // namespace vu
