#include "setup/file_naming.h"

#include "contest_log/contest_file.h"
#include "contest_log/log_table.h"

#include <QFileInfo>

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

void FileNamingForm::confirm(const QDateTime& localNow) {
    m_station.contestFolder = m_editChemin;
    m_station.contestFileName = m_editNomFichier.trimmed();
    if (!m_station.contestFileName.contains(u'.')) {
        m_station.contestFileName += QStringLiteral(".QRP");
    }
    if (!QFileInfo::exists(m_station.contestFilePath())) {
        m_contestFile.createNew(localNow);
    }
    m_mainFileLabel = m_editNomFichier;
}

} // namespace vu
