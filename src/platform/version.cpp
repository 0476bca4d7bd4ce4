#include "platform/version.h"

#include "platform/errors.h"

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

QString programVersion() {
    return checkedVersion(QStringLiteral(VARURAV_VERSION));
}

} // namespace vu
