#pragma once

#include <QString>

namespace vu {

// What a roster lookup finds.
struct MemberResult {
    QString rosterCall;                    // field 1 as stored; empty when not found
    QString number = QStringLiteral("NM"); // "NM" for a non-member
    QString firstName;
    bool operator==(const MemberResult&) const = default;
};

// A callsign without its portable suffix and its country prefix (D4ERI/P, DL/D4ERI -> D4ERI).
[[nodiscard]] QString baseCallsign(const QString& callsign);

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

private:
    QString m_programFolder;
};

} // namespace vu
