#pragma once

#include "contest_log/station_settings.h"
#include "platform/backup_volumes.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace vu {

class CountryTable;
class LanguageTexts;
class LogTable;
class MemberRoster;

// What creation decided about the member roster; the caller runs the update (behind its wait
// notice) and reports back with StationForm::rosterUpdateDone.
struct RosterDecision {
    bool rosterMissing = false; // update without asking
    QString question;           // otherwise ask this (Yes: update)
};

// How the roster step ended.
enum class RosterOutcome {
    UpdatedMissing, // there was no roster: updated without asking
    UpdatedOnYes,   // the operator answered Yes
    KeptOnNo,       // the operator answered No
};

// What the OK button did: accepted, or refused with the message to show.
struct StationOk {
    bool accepted = false;
    QString message;
};

// The station window's rules: the texts of its fields and what changing them does. Setting a
// field's text runs its change rule when the text differs, exactly as typing would.
class StationForm {
public:
    StationForm(StationSettings& station, LogTable& table, CountryTable& countries,
                MemberRoster& roster, const LanguageTexts& texts, QString programFolder);

    // Creation up to the roster step: caption, folders, backup volume list. Returns what to do
    // about the roster.
    [[nodiscard]] RosterDecision create(const QString& version, QDate today,
                                        const QList<BackupVolume>& volumes);
    // Sets the roster labels once the roster step is over. `updateInfo` is what the update
    // reported (no connection, success, failure), shown under the roster labels; empty when no
    // update ran.
    void rosterUpdateDone(RosterOutcome outcome, const QString& updateInfo = {});
    // Last creation step: the country list and the DXCC list's items. A failure or a damaged
    // country file is shown in the info line as well as raised.
    void buildCountryList(bool allowDownload);

    // Activation: sets the category from the box; returns the prompt to show (empty for none).
    [[nodiscard]] QString activate();
    // The OK button.
    [[nodiscard]] StationOk accept();
    // The window opens on a contest in progress: what the fields and the station settings hold
    // now is kept, for cancel.
    void keep();
    // "Annuler" on a contest in progress: the fields and the station settings go back to what
    // keep() found; true when there was something kept (else the program is to end).
    bool cancel();

    // Fields. The upper-case fields turn letters into capitals.
    [[nodiscard]] const QString& editOp() const { return m_editOp; }
    void setEditOp(const QString& text);
    // Leaving the operator field: a new operator starts a new, empty log.
    void editOpExit();
    [[nodiscard]] const QString& editNZRB() const { return m_editNZRB; }
    void setEditNZRB(const QString& text) { m_editNZRB = text.toUpper(); }
    [[nodiscard]] const QString& editStation() const { return m_editStation; }
    void setEditStation(const QString& text);
    // Leaving the station field: the station callsign is the text, whatever its length.
    void editStationExit();

    [[nodiscard]] const QStringList& dxccItems() const { return m_dxccItems; }
    [[nodiscard]] int dxccIndex() const { return m_dxccIndex; }
    [[nodiscard]] const QString& dxccText() const { return m_dxccText; }
    // Picks an item of the DXCC list (-1: none).
    void selectDxcc(int index);
    // Free text typed into the DXCC list.
    void setDxccText(const QString& text);

    [[nodiscard]] bool qrpChecked() const { return m_qrp; }
    void setQrpChecked(bool checked);
    // The two red declaration labels beside the QRP box.
    [[nodiscard]] bool declarationVisible() const { return m_declarationVisible; }

    [[nodiscard]] const QString& editNom() const { return m_editNom; }
    void setEditNom(const QString& text) { m_editNom = text; }
    [[nodiscard]] const QString& editAD1() const { return m_editAD1; }
    void setEditAD1(const QString& text) { m_editAD1 = text; }
    [[nodiscard]] const QString& editCity() const { return m_editCity; }
    void setEditCity(const QString& text) { m_editCity = text; }
    [[nodiscard]] const QString& editZipCode() const { return m_editZipCode; }
    void setEditZipCode(const QString& text) { m_editZipCode = text; }

    [[nodiscard]] const QString& editEmail() const { return m_editEmail; }
    // Sets the address; when its provider changes (or no server and port are given yet) fills
    // server, port and security from the SMTP list (a list without the security field: 465
    // TLS, 587 STARTTLS, else none), else keeps the server and port the operator typed.
    // Throws IoError when the list cannot be read (the address stays in the field).
    void setEditEmail(const QString& text);
    [[nodiscard]] const QString& editSmtp() const { return m_editSmtp; }
    void setEditSmtp(const QString& text) { m_editSmtp = text; }
    [[nodiscard]] const QString& editPort() const { return m_editPort; }
    void setEditPort(const QString& text) { m_editPort = text; }
    // The security choice: its items ("Aucune", "STARTTLS", "TLS") in the order of
    // SmtpSecurity, and the one chosen; the e-mail rule sets it with server and port.
    [[nodiscard]] static QStringList securityItems();
    [[nodiscard]] SmtpSecurity smtpSecurity() const { return m_smtpSecurity; }
    void setSmtpSecurity(SmtpSecurity security) { m_smtpSecurity = security; }
    // What the SMTP list gives for the address (none when it names no server).
    [[nodiscard]] SmtpSecurity listSecurity() const { return m_listSecurity; }
    // The user name for the server; empty: no authentication.
    [[nodiscard]] const QString& editLogin() const { return m_editLogin; }
    void setEditLogin(const QString& text) { m_editLogin = text.trimmed(); }
    // Whether the server or port differs from what the SMTP list gives for the address: the
    // operator typed it, and it is kept in the settings file.
    [[nodiscard]] bool smtpTyped() const {
        return m_editSmtp != m_listSmtp || m_editPort != m_listPort;
    }

    // Backup list: "Aucun", the volumes, the folder the operator chose (if any), then "Choisir un
    // dossier…". Nothing is selected at start but a chosen folder.
    [[nodiscard]] QStringList backupItems() const;
    [[nodiscard]] int backupIndex() const { return m_backupIndex; }
    void selectBackup(int index);
    // Whether this item of the list is "Choisir un dossier…": the window asks for a folder.
    [[nodiscard]] bool isChooseFolderItem(int index) const {
        return index == static_cast<int>(backupItems().size()) - 1;
    }
    // A folder chosen for the backups (kept in the settings file): listed and selected. An empty
    // or missing folder is not.
    void setBackupFolder(const QString& folder);
    [[nodiscard]] const QString& backupFolder() const { return m_backupFolder; }
    // Root path of the chosen backup volume or folder; empty for "Aucun" or no choice.
    [[nodiscard]] QString backupRoot() const;

    // Texts the window shows beside its fields.
    [[nodiscard]] const QString& caption() const { return m_caption; }
    [[nodiscard]] const QString& labelBdZir() const { return m_labelBdZir; }
    [[nodiscard]] const QString& labelDateBd() const { return m_labelDateBd; }
    [[nodiscard]] bool infoInternetVisible() const { return m_infoInternetVisible; }
    [[nodiscard]] const QString& labelInfoInternet() const { return m_labelInfoInternet; }
    // A start-up error (the country list could not be built, say): the information line shows
    // it after what it already shows, so the operator learns why lookups find nothing.
    void reportStartUpError(const QString& text);
    // The main window's station and category labels, which this window sets.
    [[nodiscard]] const QString& mainStationLabel() const { return m_mainStationLabel; }
    [[nodiscard]] const QString& mainCategoryLabel() const { return m_mainCategoryLabel; }

    [[nodiscard]] QString smtpListPath() const;

    // The user guide of the station's language (French for index 1, English otherwise): its
    // compiled-help file in the program folder when there is one, its HTML guide otherwise.
    [[nodiscard]] QString helpFilePath() const;

private:
    void editOpChange();
    void editStationChange();
    void checkBoxQrpClick();
    void editEmailChange(const QString& oldAddress);

    StationSettings& m_station;
    LogTable& m_table;
    CountryTable& m_countries;
    MemberRoster& m_roster;
    const LanguageTexts& m_texts;
    QString m_programFolder;

    QString m_editOp;
    QString m_editNZRB;
    QString m_editStation;
    QStringList m_dxccItems;
    int m_dxccIndex = -1;
    QString m_dxccText;
    bool m_qrp = false;
    bool m_declarationVisible = false;
    QString m_editNom;
    QString m_editAD1;
    QString m_editCity;
    QString m_editZipCode;
    QString m_editEmail;
    QString m_editSmtp;
    QString m_editPort;
    QString m_listSmtp; // what the SMTP list gave for the address
    QString m_listPort;
    SmtpSecurity m_smtpSecurity = SmtpSecurity::None;
    SmtpSecurity m_listSecurity = SmtpSecurity::None;
    QString m_editLogin;
    QList<BackupVolume> m_volumes;
    QString m_backupFolder;
    int m_backupIndex = -1;

    QString m_caption;
    QString m_labelBdZir = QStringLiteral("BD ZIR : ");
    QString m_labelDateBd = QStringLiteral("Date BD");
    bool m_infoInternetVisible = true;
    QString m_labelInfoInternet = QStringLiteral("Internet");
    QString m_mainStationLabel;
    QString m_mainCategoryLabel = QStringLiteral("QRP"); // as designed

    // What the operator can change in the window, kept by keep().
    struct Kept {
        StationSettings station;
        QString editOp, editNZRB, editStation, dxccText;
        int dxccIndex = -1;
        bool qrp = false;
        QString editNom, editAD1, editCity, editZipCode, editEmail, editSmtp, editPort;
        SmtpSecurity smtpSecurity = SmtpSecurity::None;
        QString editLogin;
        int backupIndex = -1;
        QString backupFolder;
        QString mainStationLabel, mainCategoryLabel;
    };
    std::optional<Kept> m_kept;
};

} // namespace vu
