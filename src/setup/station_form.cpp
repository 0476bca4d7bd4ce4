#include "setup/station_form.h"

#include "contest_log/log_table.h"
#include "platform/cp1252.h"
#include "platform/errors.h"
#include "platform/input_file.h"
#include "platform/version.h"
#include "scoring/country_table.h"
#include "scoring/member_roster.h"
#include "setup/languages.h"

#include <QDir>
#include <QFileInfo>

namespace vu {

namespace {

const QString kRosterName = QStringLiteral("VUZ_adar_2021.csv");

// The part of an address between the "@" and the next "."; empty when no "." follows.
QString mailDomain(const QString& address) {
    const qsizetype at = address.indexOf(u'@');
    const qsizetype dot = address.indexOf(u'.', at + 1);
    return dot < 0 ? QString() : address.mid(at + 1, dot - at - 1);
}

// Sets a field's text; true when it changed, which is when its change rule runs.
bool changeText(QString& field, const QString& text) {
    if (text == field) {
        return false;
    }
    field = text;
    return true;
}

} // namespace

StationForm::StationForm(StationSettings& station, LogTable& table, CountryTable& countries,
                         MemberRoster& roster, const LanguageTexts& texts, QString programFolder)
    : m_station(station), m_table(table), m_countries(countries), m_roster(roster), m_texts(texts),
      m_programFolder(std::move(programFolder)) {}

RosterDecision StationForm::create(const QString& version, QDate today,
                                   const QList<BackupVolume>& volumes) {
    m_caption = programCaption(version, today);
    for (const char* name : {"Files", "Lng", "Fichiers_BD"}) {
        QDir(m_programFolder).mkpath(QString::fromLatin1(name));
    }
    m_volumes = volumes;
    m_backupIndex = -1;
    m_infoInternetVisible = false;
    if (!m_roster.exists()) {
        return {true, {}};
    }
    return {false, QStringLiteral("Votre base de données des membres date du ") +
                       m_roster.fileDateText() +
                       QStringLiteral("\n\nVoulez-vous mettre à jour le fichier ?")};
}

void StationForm::rosterUpdateDone(RosterOutcome outcome, const QString& updateInfo) {
    // The operator learns whether the roster in use is fresh or an old one.
    if (!updateInfo.isEmpty()) {
        m_labelInfoInternet = updateInfo;
        m_infoInternetVisible = true;
    }
    switch (outcome) {
    case RosterOutcome::UpdatedMissing:
        m_labelBdZir = QStringLiteral("BD ZIR :") + kRosterName;
        break;
    case RosterOutcome::UpdatedOnYes:
        m_labelBdZir = QStringLiteral("BD Membres : ") + kRosterName;
        break;
    case RosterOutcome::KeptOnNo:
        break;
    }
    m_labelDateBd = QStringLiteral("Date du fichier : ") + m_roster.fileDateText();
}

void StationForm::reportStartUpError(const QString& text) {
    if (m_infoInternetVisible && !m_labelInfoInternet.isEmpty()) {
        m_labelInfoInternet += QStringLiteral(" - ") + text;
    } else {
        m_labelInfoInternet = text;
    }
    m_infoInternetVisible = true;
}

void StationForm::buildCountryList(bool allowDownload) {
    try {
        m_countries.buildCountryList(allowDownload);
    } catch (const AppError& e) {
        // The info line tells the operator that the scoring's countries are not to be trusted.
        reportStartUpError(e.message());
        m_dxccItems = m_countries.dxccPrefixes();
        m_dxccIndex = m_dxccItems.indexOf(m_dxccText);
        throw;
    }
    m_dxccItems = m_countries.dxccPrefixes();
    m_dxccIndex = m_dxccItems.indexOf(m_dxccText);
}

QString StationForm::activate() {
    QString prompt;
    if (m_editOp.isEmpty()) {
        prompt = QStringLiteral("___________    Saisissez votre CALL et Choisissez votre catégorie "
                                "(QRP ou QRO)    ____________");
    }
    m_station.category = m_qrp ? QStringLiteral("QRP") : QStringLiteral("QRO");
    m_mainCategoryLabel = m_station.category;
    return prompt;
}

StationOk StationForm::accept() {
    m_station.operatorName = m_editNom;
    m_station.operatorCall = m_editOp.trimmed();
    if (m_station.operatorCall.isEmpty()) {
        return {false, m_texts.message(MessageText::InfoManquante)};
    }
    m_station.clubNumber = m_editNZRB;
    m_station.stationCall = m_editStation.trimmed();
    if (m_station.stationCall.isEmpty()) {
        m_station.stationCall = m_station.operatorCall;
    }
    m_station.dxcc = m_dxccText;
    m_station.email = m_editEmail.trimmed();
    m_station.smtpServer = m_editSmtp;
    m_station.smtpPort = m_editPort;
    m_station.smtpSecurity = m_smtpSecurity;
    m_station.smtpLogin = m_editLogin;
    // Mail servers take only ASCII addresses: an accented one gives a message without a sender
    // that one server refuses and another loses.
    for (const QChar c : m_station.email) {
        if (c.unicode() > 0x7F) {
            return {false, QStringLiteral("Votre adresse Email contient des lettres accentuées ou "
                                          "d'autres caractères non ASCII\nLes serveurs de "
                                          "messagerie la refusent : corrigez-la ou bien "
                                          "effacez-la")};
        }
    }
    if (!m_station.email.isEmpty() && m_station.smtpServer.isEmpty()) {
        return {false,
                QStringLiteral(
                    "Votre adresse Email ne permet pas de déterminer votre SMTP ainsi que "
                    "votre Port\nVeuillez les fournir ou bien effacer votre adresse Email\n\n"
                    " Si vous ne possédez pas ces éléments, vous devrez envoyer votre compte "
                    "rendu avec votre propre gestionaire d'Email")};
    }
    m_kept.reset(); // what OK accepted is the state to come back to
    return {true, {}};
}

void StationForm::keep() {
    if (m_kept) {
        return; // the window is still open on the state it opened on
    }
    m_kept =
        Kept{m_station,     m_editOp,      m_editNZRB,     m_editStation,      m_dxccText,
             m_dxccIndex,   m_qrp,         m_editNom,      m_editAD1,          m_editCity,
             m_editZipCode, m_editEmail,   m_editSmtp,     m_editPort,         m_smtpSecurity,
             m_editLogin,   m_backupIndex, m_backupFolder, m_mainStationLabel, m_mainCategoryLabel};
}

bool StationForm::cancel() {
    if (!m_kept) {
        return false;
    }
    const Kept& k = *m_kept;
    m_station = k.station;
    m_editOp = k.editOp;
    m_editNZRB = k.editNZRB;
    m_editStation = k.editStation;
    m_dxccText = k.dxccText;
    m_dxccIndex = k.dxccIndex;
    m_qrp = k.qrp;
    m_declarationVisible = k.qrp;
    m_editNom = k.editNom;
    m_editAD1 = k.editAD1;
    m_editCity = k.editCity;
    m_editZipCode = k.editZipCode;
    m_editEmail = k.editEmail;
    m_editSmtp = k.editSmtp;
    m_editPort = k.editPort;
    m_smtpSecurity = k.smtpSecurity;
    m_editLogin = k.editLogin;
    m_backupIndex = k.backupIndex;
    m_backupFolder = k.backupFolder;
    m_mainStationLabel = k.mainStationLabel;
    m_mainCategoryLabel = k.mainCategoryLabel;
    m_kept.reset();
    return true;
}

void StationForm::setEditOp(const QString& text) {
    if (changeText(m_editOp, text.toUpper())) {
        editOpChange();
    }
}

void StationForm::editOpChange() {
    if (m_editOp.size() <= 3) {
        m_editNZRB.clear();
        return;
    }
    const QString number = m_roster.lookUpMember(m_editOp).number;
    const CountryResult& country = m_countries.lookUpCountry(m_editOp);
    if (!country.found()) {
        selectDxcc(-1);
    } else if (const qsizetype i = m_dxccItems.indexOf(country.dxccPrefix); i >= 0) {
        selectDxcc(static_cast<int>(i));
    }
    m_editNZRB = number;
    setEditStation(m_editOp);
}

void StationForm::editOpExit() {
    const QString call = m_editOp.trimmed();
    if (call == m_station.operatorCall) {
        return;
    }
    m_station.operatorCall = call;
    m_station.contestFileName.clear();
    m_table.clearLog();
}

void StationForm::setEditStation(const QString& text) {
    if (changeText(m_editStation, text.toUpper())) {
        editStationChange();
    }
}

void StationForm::editStationChange() {
    if (m_editStation.size() <= 3) {
        return;
    }
    const CountryResult& country = m_countries.lookUpCountry(m_editStation);
    m_station.dxcc = country.dxccPrefix;
    m_station.continent = country.continent;
    selectDxcc(static_cast<int>(m_dxccItems.indexOf(m_station.dxcc)));
    m_station.stationCall = m_editStation;
    m_mainStationLabel = m_editStation;
}

void StationForm::editStationExit() {
    m_station.stationCall = m_editStation;
}

void StationForm::selectDxcc(int index) {
    if (index < 0 || index >= m_dxccItems.size()) {
        m_dxccIndex = -1;
        m_dxccText.clear();
        return;
    }
    m_dxccIndex = index;
    m_dxccText = m_dxccItems.at(index);
}

void StationForm::setDxccText(const QString& text) {
    m_dxccText = text.toUpper();
    m_dxccIndex = static_cast<int>(m_dxccItems.indexOf(m_dxccText));
}

void StationForm::setQrpChecked(bool checked) {
    if (checked != m_qrp) {
        m_qrp = checked;
        checkBoxQrpClick();
    }
}

void StationForm::checkBoxQrpClick() {
    m_declarationVisible = m_qrp;
    m_station.category = m_qrp ? QStringLiteral("QRP") : QStringLiteral("QRO");
    m_mainCategoryLabel = m_station.category;
}

QStringList StationForm::securityItems() {
    return {QStringLiteral("Aucune"), QStringLiteral("STARTTLS"), QStringLiteral("TLS")};
}

QString StationForm::smtpListPath() const {
    return m_programFolder + QStringLiteral("/SMTP.csv");
}

void StationForm::setEditEmail(const QString& text) {
    const QString old = m_editEmail;
    if (changeText(m_editEmail, text)) {
        editEmailChange(old);
    }
}

void StationForm::editEmailChange(const QString& oldAddress) {
    const bool typed = !m_editSmtp.isEmpty() || !m_editPort.isEmpty();
    if (typed && m_editEmail.contains(u'@') && mailDomain(m_editEmail) == mailDomain(oldAddress)) {
        m_station.email = m_editEmail; // the same provider: the server he gave stays
        return;
    }
    m_editSmtp.clear();
    m_editPort.clear();
    m_listSmtp.clear();
    m_listPort.clear();
    m_smtpSecurity = m_listSecurity = SmtpSecurity::None;
    if (!m_editEmail.contains(u'@')) {
        return;
    }
    const QString domain = mailDomain(m_editEmail);
    const QStringList lines =
        fromCp1252(readWholeFile(smtpListPath(), kTextFileLimit)).split(u'\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
        const QStringList fields = line.split(u';');
        if (fields.at(0) != domain) {
            continue;
        }
        m_listSmtp = fields.value(1);
        m_listPort = fields.value(2).trimmed();
        m_listSecurity = smtpSecurityFromName(fields.value(3), smtpSecurityOfPort(m_listPort));
        m_editSmtp = m_listSmtp;
        m_editPort = m_listPort;
        m_smtpSecurity = m_listSecurity;
        break;
    }
    m_station.email = m_editEmail;
}

namespace {
const QString kFolderKind = QStringLiteral("Dossier");
} // namespace

QStringList StationForm::backupItems() const {
    QStringList items{QStringLiteral("Aucun")};
    for (const BackupVolume& v : m_volumes) {
        items << v.text();
    }
    if (!m_backupFolder.isEmpty()) {
        items << BackupVolume{m_backupFolder, kFolderKind}.text();
    }
    items << QStringLiteral("Choisir un dossier…");
    return items;
}

void StationForm::selectBackup(int index) {
    const int folder = m_backupFolder.isEmpty() ? 0 : 1;
    m_backupIndex = index >= 0 && index <= m_volumes.size() + folder ? index : -1;
}

void StationForm::setBackupFolder(const QString& folder) {
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        return;
    }
    m_backupFolder = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    m_backupIndex = static_cast<int>(m_volumes.size()) + 1;
}

QString StationForm::backupRoot() const {
    if (m_backupIndex >= 1 && m_backupIndex <= m_volumes.size()) {
        return m_volumes.at(m_backupIndex - 1).rootPath;
    }
    return m_backupIndex == m_volumes.size() + 1 ? m_backupFolder : QString();
}

QString StationForm::helpFilePath() const {
    const QString base =
        m_programFolder + (m_station.language == 1 ? QStringLiteral("/VARURAV_UDA_FR")
                                                   : QStringLiteral("/VARURAV_UDA_EN"));
    const QString compiled = base + QStringLiteral(".chm");
    return QFileInfo::exists(compiled) ? compiled : base + QStringLiteral(".html");
}

} // namespace vu
