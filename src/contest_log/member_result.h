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

} // namespace vu
