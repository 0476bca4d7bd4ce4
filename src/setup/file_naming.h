#pragma once

#include "contest_log/station_settings.h"

#include <QDate>
#include <QDateTime>
#include <QString>

namespace vu {

class ContestFile;
class LogTable;

// The file naming window's rules: which contest file holds the contest, and its creation.
class FileNamingForm {
public:
    // The filter of the existing-file dialog: logs, rotating backups and quit copies.
    static constexpr const char* kOpenFilter = "Fichier QRP (*.QRP *.sav *.QRP_Mem)";

    FileNamingForm(StationSettings& station, LogTable& table, ContestFile& contestFile,
                   QString filesFolder);

    // The name proposed for a new contest: "ZIV_URU_" + year + "@" + operator + ".QRP".
    [[nodiscard]] static QString proposedName(int year, const QString& operatorCall);

    // Activation: proposes a name when there is none and shows the name without its extension.
    void activate(QDate today);
    // A folder picked in the folder dialog: it becomes the contest folder, and the window's
    // activation runs again when the dialog closes.
    void chooseFolder(const QString& folder, QDate today);
    // An existing file picked in the file dialog: its folder and name become the contest file's.
    void chooseExistingFile(const QString& path);
    // The OK button: takes folder and name from the fields and creates the contest file when
    // none exists at that path. Throws IoError or ConvertError; the window then stays open.
    void confirm(const QDateTime& localNow);
    // Refuses (AppError naming the file) a contest file that a report or a copy of the program
    // would write over: an extension of the reports or of the deletion copy (".CBR", ".ADI",
    // ".BAK"), a quit copy ("_Mem") that is another file in use, or a file that is itself the
    // quit copy or a rotating backup (".sav") of a file in use beside it.
    void checkContestFile(const QString& path) const;
    // The first of these checks alone: refuses the extensions of the reports and the deletion
    // copy.
    static void checkContestFileExtension(const QString& path);

    [[nodiscard]] const QString& editNomFichier() const { return m_editNomFichier; }
    void setEditNomFichier(const QString& text) { m_editNomFichier = text; }
    [[nodiscard]] const QString& editChemin() const { return m_editChemin; }
    void setEditChemin(const QString& text) { m_editChemin = text; }
    // Where both dialogs open.
    [[nodiscard]] const QString& filesFolder() const { return m_filesFolder; }
    // The main window's file label, set on OK (as typed) and when a log is opened.
    [[nodiscard]] const QString& mainFileLabel() const { return m_mainFileLabel; }
    void setMainFileLabel(const QString& text) { m_mainFileLabel = text; }

private:
    StationSettings& m_station;
    LogTable& m_table;
    ContestFile& m_contestFile;
    QString m_filesFolder;
    QString m_editNomFichier;
    QString m_editChemin;
    QString m_mainFileLabel;
};

} // namespace vu
