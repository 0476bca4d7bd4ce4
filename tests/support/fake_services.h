#pragma once

#include "contest_log/entry_flow.h"

#include <QHash>

namespace vu::test {

// Entry services with a small roster and a plain scoring: a line scores "10" points, or "0" and a
// "DUPE" note when the same callsign was logged before on the same band.
class FakeServices : public EntryServices {
public:
    QHash<QString, MemberResult> roster;
    int rescores = 0;
    int lookups = 0;

    MemberResult lookUpMember(const QString& call) override {
        ++lookups;
        return roster.value(call, MemberResult{});
    }
    QString memberFirstName(const QString& call) override { return lookUpMember(call).firstName; }
    bool scoreLine(LogTable& table, int row) override {
        for (int r = 1; r < row; ++r) {
            if (table.cell(Col::Call, r) == table.cell(Col::Call, row) &&
                table.cell(Col::Band, r) == table.cell(Col::Band, row)) {
                table.setCell(Col::Points, row, QStringLiteral("0"));
                table.setCell(Col::Dupe, row, QStringLiteral("DUPE"));
                return true;
            }
        }
        table.setCell(Col::Points, row, QStringLiteral("10"));
        table.setCell(Col::Dupe, row, QString());
        return false;
    }
    void computeTotalScore(LogTable& table) override {
        ++rescores;
        for (int r = 1; r < table.rowCount(); ++r) {
            if (!table.cell(Col::Call, r).trimmed().isEmpty()) {
                scoreLine(table, r);
            }
        }
    }
    void clearHisContinent() override {}
};

} // namespace vu::test
