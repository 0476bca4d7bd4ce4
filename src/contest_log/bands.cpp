#include "contest_log/bands.h"

#include "contest_log/log_table.h"

namespace vu {

const QStringList& bandTexts() {
    static const QStringList bands = {QStringLiteral("80"), QStringLiteral("40"),
                                      QStringLiteral("20"), QStringLiteral("15"),
                                      QStringLiteral("10")};
    return bands;
}

bool workedOnBand(const LogTable& table, const QString& call, const QString& band) {
    for (int row = 1; row < table.rowCount(); ++row) {
        if (table.cell(Col::Call, row) == call && table.cell(Col::Band, row) == band) {
            return true;
        }
    }
    return false;
}

} // namespace vu
