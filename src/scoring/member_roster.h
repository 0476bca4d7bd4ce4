#pragma once

#include "contest_log/member_result.h"
#include "platform/watched_file.h"
#include "scoring/reference_sources.h"

#include <QByteArrayView>
#include <QHash>
#include <QString>

namespace vu {

// A callsign without its portable suffix and its country prefix (D4ERI/P, DL/D4ERI -> D4ERI).
[[nodiscard]] QString baseCallsign(const QString& callsign);

// The roster held in memory: the first line of each callsign, read with the line-by-line
// separator rule, so that it answers exactly as reading the file from the top would.
class RosterIndex {
public:
    // Reads a roster file's content, replacing what was held.
    void load(QByteArrayView roster);
    // The member with this callsign (already in its base form, upper case and trimmed).
    [[nodiscard]] MemberResult find(const QString& key) const;
    // Number of distinct callsigns held.
    [[nodiscard]] qsizetype size() const { return m_members.size(); }

private:
    QHash<QString, MemberResult> m_members;
};

// How a roster update ended, with the texts the station window shows.
struct RosterUpdate {
    enum class Outcome { NoConnection, Updated, Failed };
    Outcome outcome = Outcome::Failed;
    QString infoText;            // caption of the connection label (Label_info_Internet)
    QString dateText;            // caption of the roster date label after an update, else empty
    bool showNoDatabase = false; // the "no roster" label (Label_BD_ZIR) is to be shown
    QString error;               // why the download failed, for diagnostics
};

// What the roster update says of a received file that is not a roster.
inline constexpr char kNotARosterText[] = "Le fichier reçu n'est pas une liste de membres";

// Checks a received roster before it replaces the file in use: text without NUL bytes whose
// every non-blank line holds the roster's columns (a callsign of letters, digits and "/", then
// a separator and the member's fields), and at least one member. Gives
// kNotARosterText, or nothing when the body is a roster.
[[nodiscard]] QString rosterBodyProblem(QByteArrayView body);

// The club's member roster file in the roster folder, and its lookup.
class MemberRoster {
public:
    // The roster file is `programFolder`/Fichiers_BD/VUZ_adar_2021.csv.
    explicit MemberRoster(QString programFolder);
    ~MemberRoster();

    [[nodiscard]] QString rosterPath() const;
    [[nodiscard]] bool exists() const;
    // The roster file's modification date as the station window shows it (dd/MM/yyyy); empty
    // when there is no file.
    [[nodiscard]] QString fileDateText() const;

    // Looks a callsign up; a missing roster makes everyone a non-member.
    [[nodiscard]] MemberResult lookUpMember(const QString& callsign);

    // Where the roster is fetched from (the club's server unless changed).
    void setSources(ReferenceSources sources) { m_sources = std::move(sources); }
    // True when the club's server answers within a short time.
    [[nodiscard]] bool checkInternetConnection() const;
    // Fetches the roster from the club's server. A failed download leaves the file in use as it
    // was.
    [[nodiscard]] RosterUpdate updateRoster();
    // The roster in memory, read again first when the file changed on disk. Throws IoError
    // when it cannot be read.
    [[nodiscard]] const RosterIndex& index();

private:
    QString m_programFolder;
    ReferenceSources m_sources;
    WatchedFile m_file;
    RosterIndex m_index;
};

} // namespace vu
