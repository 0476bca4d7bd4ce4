#include "platform/errors.h"

#include <cerrno>

namespace vu {

AppError::AppError(QString message)
    : m_message(std::move(message)), m_utf8(m_message.toStdString()) {}

namespace {

// The wording, followed by the file it is about when known, so that the operator can tell which
// of the program's files failed.
QString messageFor(int code, const QString& path) {
    QString text = IoError::textFor(code);
    if (!path.isEmpty()) {
        text += QStringLiteral(" : ") + path;
    }
    return text;
}

} // namespace

IoError::IoError(int code, QString path)
    : AppError(messageFor(code, path)), m_code(code), m_path(std::move(path)) {}

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
    case EISDIR:
        return QStringLiteral("Ce nom est celui d'un dossier, pas d'un fichier");
    case ELOOP:
        return QStringLiteral("Trop de liens symboliques");
    case ENOMEM:
        return QStringLiteral("Mémoire insuffisante");
    case NotRegularFile:
        return QStringLiteral("Ce n'est pas un fichier ordinaire");
    case TooLarge:
        return QStringLiteral("Fichier trop volumineux");
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

ConvertError ConvertError::onLine(int line) const {
    return ConvertError(QStringLiteral("Ligne %1 : ").arg(line) + message());
}

ConvertError ConvertError::badTime(const QString& text) {
    return ConvertError(QStringLiteral("'%1' n'est pas une heure correcte").arg(text));
}

void EveryStep::run(const std::function<void()>& step) {
    try {
        step();
    } catch (const AppError&) {
        if (!m_first) {
            m_first = std::current_exception();
        }
    }
}

void EveryStep::finish() const {
    if (m_first) {
        std::rethrow_exception(m_first);
    }
}

} // namespace vu
