#include "platform/version.h"

#include "platform/errors.h"

#include <QLocale>

#ifndef VARURAV_VERSION
#define VARURAV_VERSION ""
#endif

namespace vu {

QString checkedVersion(const QString& compiledIn) {
    if (compiledIn.isEmpty()) {
        throw AppError(
            QStringLiteral("Les infos de version ne sont pas incluses dans l'exécutable"));
    }
    return compiledIn;
}

QString programCaption(const QString& version, QDate startDate) {
    return QStringLiteral("Duruvero VED UVE, V:") + version + QStringLiteral(" (") +
           QLocale::system().toString(startDate, QLocale::ShortFormat) + QLatin1Char(')');
}

QString programVersion() {
    return checkedVersion(QStringLiteral(VARURAV_VERSION));
}

} // namespace vu
