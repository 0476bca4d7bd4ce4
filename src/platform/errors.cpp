#include "platform/errors.h"

#include <cerrno>

namespace vu {

AppError::AppError(QString message)
    : m_message(std::move(message)), m_utf8(m_message.toStdString()) {}

IoError::IoError(int code, QString path)
    : AppError(textFor(code)), m_code(code), m_path(std::move(path)) {}

QString IoError::textFor(int code) {
    switch (code) {
    case FileNotFound:
    case PathNotFound:
        return QStringLiteral("Fichier introuvable");
    case AccessDenied:
        return QStringLiteral("Accès au fichier refusé");
    case DiskFull:
        return QStringLiteral("Disque plein");
    case ReadBeyondEnd:
        return QStringLiteral("Lecture au-delà de la fin de fichier");
    default:
        return QStringLiteral("Erreur E/S %1").arg(code);
    }
}

IoError IoError::fromErrno(int err, const QString& path) {
    switch (err) {
    case ENOENT:
        return IoError(FileNotFound, path);
    case ENOTDIR:
        return IoError(PathNotFound, path);
    case EACCES:
    case EPERM:
    case EROFS:
        return IoError(AccessDenied, path);
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return IoError(DiskFull, path);
    default:
        return IoError(err, path);
    }
}

ConvertError ConvertError::badDate(const QString& text) {
    return ConvertError(QStringLiteral("'%1' n'est pas une date correcte").arg(text));
}

ConvertError ConvertError::badTime(const QString& text) {
    return ConvertError(QStringLiteral("'%1' n'est pas une heure correcte").arg(text));
}

} // namespace vu
