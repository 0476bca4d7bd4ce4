#include "setup/file_naming.h"

#include "contest_log/contest_file.h"
#include "contest_log/log_table.h"
#include "platform/errors.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace vu {

FileNamingForm::FileNamingForm(StationSettings& station, LogTable& table, ContestFile& contestFile,
                               QString filesFolder)
    : m_station(station), m_table(table), m_contestFile(contestFile),
      m_filesFolder(std::move(filesFolder)) {}

QString FileNamingForm::proposedName(int year, const QString& operatorCall) {
    // A portable call ("F/D4ERI") would name a folder: its strokes become "_".
    QString call = operatorCall;
    call.replace(u'/', u'_').replace(u'\\', u'_');
    return QStringLiteral("ZIV_URU_") + QString::number(year).rightJustified(4, u'0') +
           QLatin1Char('@') + call + QStringLiteral(".QRP");
}

void FileNamingForm::activate(QDate today) {
    if (m_station.contestFileName.isEmpty()) {
        m_station.contestFileName = proposedName(today.year(), m_station.operatorCall);
    }
    // A name without an extension is shown whole, so that confirming keeps it.
    const qsizetype dot = m_station.contestFileName.indexOf(u'.');
    m_editNomFichier = m_station.contestFileName.left(dot);
    m_table.requestEditor();
}

void FileNamingForm::chooseFolder(const QString& folder, QDate today) {
    m_station.contestFolder = folder;
    m_editChemin = folder;
    activate(today);
}

void FileNamingForm::chooseExistingFile(const QString& path) {
    const QFileInfo info(path);
    m_station.contestFolder = info.absolutePath();
    m_station.contestFileName = info.fileName();
    m_editChemin = m_station.contestFolder;
    m_editNomFichier = m_station.contestFileName;
}

void FileNamingForm::checkContestFileExtension(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString extension = dot < 0 ? QString() : name.mid(dot).toUpper();
    if (extension == u".CBR" || extension == u".ADI" || extension == u".BAK") {
        throw AppError(QStringLiteral("Le nom %1 est refusé : l'extension %2 est celle des "
                                      "comptes rendus et des copies, qui écraseraient le "
                                      "fichier de concours")
                           .arg(path, extension));
    }
}

void FileNamingForm::checkContestFile(const QString& path) const {
    checkContestFileExtension(path);
    // Another program's file under the name of this one's quit copy would be replaced at quit.
    const QString quitCopy = path + QStringLiteral("_Mem");
    try {
        m_contestFile.checkNotInUse(quitCopy);
    } catch (const IoError&) {
        throw;
    } catch (const AppError&) {
        throw AppError(
            QStringLiteral("Le nom %1 est refusé : sa copie %2 est ouverte par un autre programme")
                .arg(path, quitCopy));
    }
    // The quit copy or a rotating backup of a file another program writes into is replaced
    // by that program.
    static const QRegularExpression copyForm(QStringLiteral("^(.+)(_Mem|_\\d\\d\\.sav)$"),
                                             QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = copyForm.match(path);
    if (match.hasMatch()) {
        const QString original = match.captured(1);
        try {
            m_contestFile.checkNotInUse(original);
        } catch (const IoError&) {
            throw;
        } catch (const AppError&) {
            throw AppError(QStringLiteral("Le nom %1 est refusé : c'est une copie du fichier %2, "
                                          "ouvert par un autre programme")
                               .arg(path, original));
        }
    }
}

void FileNamingForm::confirm(const QDateTime& localNow) {
    QString name = m_editNomFichier.trimmed();
    if (!name.contains(u'.')) {
        name += QStringLiteral(".QRP");
    }
    checkContestFile(m_editChemin + QLatin1Char('/') + name);
    m_station.contestFolder = m_editChemin;
    m_station.contestFileName = name;
    if (!QFileInfo::exists(m_station.contestFilePath())) {
        m_contestFile.createNew(localNow);
    }
    m_mainFileLabel = m_editNomFichier;
}

} // namespace vu
