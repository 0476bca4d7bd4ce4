#include "setup/settings.h"

#include "contest_log/contest_clock.h"
#include "contest_log/log_table.h"
#include "contest_log/station_settings.h"
#include "platform/errors.h"
#include "platform/ini_file.h"
#include "setup/file_naming.h"
#include "setup/languages.h"
#include "setup/station_form.h"

#include <QFileInfo>
#include <algorithm>
#include <exception>
#include <functional>

namespace vu {

namespace {

const QString kWindows = QStringLiteral("Windows");
const QString kGlobals = QStringLiteral("VGlobales");
const QString kOp = QStringLiteral("OP");
const QString kGrid = QStringLiteral("Grille_log");
const QString kLanguage = QStringLiteral("Langue");
const QString kSmtp = QStringLiteral("SMTP");
const QString kBackup = QStringLiteral("Sauvegarde");

// Key of one window value: "F" + window number + W, T, L or H.
QString windowKey(int window, char what) {
    return QStringLiteral("F%1%2").arg(window + 1).arg(QLatin1Char(what));
}

} // namespace

int ScreenLayout::columnWidth(int column) const {
    return column >= 0 && column < static_cast<int>(columnWidths.size()) ? columnWidths[column]
                                                                         : kDefaultColumnWidth;
}

SettingsFile::SettingsFile(QString programFolder, SettingsTargets targets)
    : m_programFolder(std::move(programFolder)), m_t(targets) {}

QString SettingsFile::path() const {
    return m_programFolder + QStringLiteral("/Varurav_UDA.ini");
}

void SettingsFile::load() {
    m_t.clock.setTickEnabled(false);
    const IniFile ini(path());
    const auto text = [&ini](const QString& section, const char* key, const QString& def = {}) {
        return ini.readString(section, QString::fromLatin1(key), def);
    };

    const ScreenLayout defaults;
    for (int w = 0; w < kAppWindows; ++w) {
        WindowPlacement& p = m_t.layout.windows.at(w);
        const WindowPlacement& d = defaults.windows.at(w);
        p.width = ini.readInteger(kWindows, windowKey(w, 'W'), d.width);
        p.top = ini.readInteger(kWindows, windowKey(w, 'T'), d.top);
        p.left = ini.readInteger(kWindows, windowKey(w, 'L'), d.left);
        p.height = ini.readInteger(kWindows, windowKey(w, 'H'), d.height);
    }

    StationSettings& st = m_t.station;
    st.contestFolder = text(kGlobals, "CHEMIN_FICHIER");
    if (!QFileInfo(st.contestFolder).isDir()) {
        st.contestFolder = m_programFolder + QStringLiteral("/Files");
    }
    m_t.fileNaming.setEditChemin(st.contestFolder);
    st.contestFileName = text(kGlobals, "NOM_FICHIER");
    m_t.fileNaming.setEditNomFichier(st.contestFileName);

    st.locator = text(kGlobals, "MY_LOCATOR");
    st.operatorCall = text(kGlobals, "OPERATOR");
    st.dxcc = text(kGlobals, "MY_DXCC");
    st.stationCall = text(kGlobals, "MY_STATION");
    st.clubNumber = text(kGlobals, "MY_NRZRB");
    st.category = text(kGlobals, "MY_CATEGORIE", QStringLiteral("QRP"));

    // The fields' change rules run as typing would, consulting the roster and country table.
    const QString storedStation = st.stationCall;
    EveryStep steps; // a value that fails leaves the ones after it to arrive
    steps.run([&] { m_t.stationForm.setQrpChecked(st.category == QLatin1String("QRP")); });
    steps.run([&] { m_t.stationForm.setEditOp(st.operatorCall); });
    steps.run([&] { m_t.stationForm.setEditStation(storedStation); });
    StationForm& form = m_t.stationForm;
    form.setEditNom(text(kOp, "NAME"));
    form.setEditAD1(text(kOp, "AD1"));
    form.setEditCity(text(kOp, "AD2"));
    form.setEditZipCode(text(kOp, "AD3"));
    steps.run([&] { form.setEditEmail(text(kOp, "email")); });
    form.setBackupFolder(text(kBackup, "DOSSIER"));
    // A server and port the operator gave are kept over what the SMTP list proposes.
    if (const QString server = text(kSmtp, "SERVER"); !server.isEmpty()) {
        form.setEditSmtp(server);
        form.setEditPort(text(kSmtp, "PORT"));
    }
    if (const QString security = text(kSmtp, "SECURITY"); !security.isEmpty()) {
        form.setSmtpSecurity(smtpSecurityFromName(security, form.smtpSecurity()));
    }
    form.setEditLogin(text(kSmtp, "LOGIN"));

    LogTable& table = m_t.table;
    const int columns = std::clamp(ini.readInteger(kGrid, QStringLiteral("Colcount"), kLogColumns),
                                   kLogColumns, kMaxColumns);
    {
        LogTable::Batch batch(table);
        table.setColumnCount(columns);
        for (int c = 0; c < columns; ++c) {
            table.setCell(c, 0, ini.readString(kGrid, QStringLiteral("Col%1").arg(c)));
        }
        m_t.layout.columnWidths.assign(columns, ScreenLayout::kDefaultColumnWidth);
        for (int c = 0; c < columns; ++c) {
            m_t.layout.columnWidths[c] = ini.readInteger(kGrid, QStringLiteral("ColWidth%1").arg(c),
                                                         ScreenLayout::kDefaultColumnWidth);
        }
        table.setRowCount(2);
    }

    const int language = ini.readInteger(kLanguage, QStringLiteral("LNG"), 1);
    st.language = language >= 1 && language <= kLanguageCount ? language : 1;
    steps.run([&] { loadLanguage(); });
    steps.run([&] { ini.raiseReadError(); }); // defaults in force, the file kept as it is
    steps.finish();
}

void SettingsFile::loadLanguage() {
    m_t.texts.load(languageFilePath(m_programFolder, m_t.station.language), m_t.table);
}

void SettingsFile::save(const QString& version) const {
    IniFile ini(path());
    const auto put = [&ini](const QString& section, const char* key, const QString& value) {
        ini.writeString(section, QString::fromLatin1(key), value);
    };
    put(QStringLiteral("Header"), "Org", version);

    for (int w = 0; w < kAppWindows; ++w) {
        const WindowPlacement& p = m_t.layout.windows.at(w);
        ini.writeInteger(kWindows, windowKey(w, 'W'), p.width);
        ini.writeInteger(kWindows, windowKey(w, 'T'), p.top);
        ini.writeInteger(kWindows, windowKey(w, 'L'), p.left);
        ini.writeInteger(kWindows, windowKey(w, 'H'), p.height);
    }

    const StationSettings& st = m_t.station;
    put(kGlobals, "CHEMIN_FICHIER", st.contestFolder);
    put(kGlobals, "NOM_FICHIER", st.contestFileName);
    put(kGlobals, "MY_LOCATOR", st.locator);
    put(kGlobals, "OPERATOR", st.operatorCall);
    put(kGlobals, "MY_DXCC", st.dxcc);
    put(kGlobals, "MY_STATION", st.stationCall);
    put(kGlobals, "MY_NRZRB", st.clubNumber);
    put(kGlobals, "MY_CATEGORIE",
        m_t.stationForm.qrpChecked() ? QStringLiteral("QRP") : QStringLiteral("QRO"));

    const StationForm& form = m_t.stationForm;
    put(kOp, "NAME", form.editNom());
    put(kOp, "AD1", form.editAD1());
    put(kOp, "AD2", form.editCity());
    put(kOp, "AD3", form.editZipCode());
    put(kOp, "email", form.editEmail());

    const int columns = m_t.table.columnCount();
    ini.writeInteger(kGrid, QStringLiteral("Colcount"), columns);
    for (int c = 0; c < columns; ++c) {
        ini.writeString(kGrid, QStringLiteral("Col%1").arg(c), m_t.table.cell(c, 0));
    }
    for (int c = 0; c < columns; ++c) {
        ini.writeInteger(kGrid, QStringLiteral("ColWidth%1").arg(c), m_t.layout.columnWidth(c));
    }

    ini.writeInteger(kLanguage, QStringLiteral("LNG"), st.language);

    // A server or port the operator typed is kept; one the SMTP list gives is found again.
    if (form.smtpTyped() || !ini.readString(kSmtp, QStringLiteral("SERVER")).isEmpty()) {
        put(kSmtp, "SERVER", form.smtpTyped() ? form.editSmtp() : QString());
        put(kSmtp, "PORT", form.smtpTyped() ? form.editPort() : QString());
    }
    // The same for the security; the login whenever there is one. The password never.
    const bool securityChosen = form.smtpSecurity() != form.listSecurity();
    if (securityChosen || !ini.readString(kSmtp, QStringLiteral("SECURITY")).isEmpty()) {
        put(kSmtp, "SECURITY", securityChosen ? smtpSecurityName(form.smtpSecurity()) : QString());
    }
    if (!form.editLogin().isEmpty() || !ini.readString(kSmtp, QStringLiteral("LOGIN")).isEmpty()) {
        put(kSmtp, "LOGIN", form.editLogin());
    }

    // The backup folder the operator chose, once he chose one.
    if (!form.backupFolder().isEmpty() ||
        !ini.readString(kBackup, QStringLiteral("DOSSIER")).isEmpty()) {
        put(kBackup, "DOSSIER", form.backupFolder());
    }
    ini.save();
}

} // namespace vu
