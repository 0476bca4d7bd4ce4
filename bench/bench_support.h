#pragma once

#include "contest_log/contest_file.h"

#include <QByteArray>

namespace vu::bench {

// A contest file image of `lines` line records (header first), bands and times varying.
[[nodiscard]] QByteArray syntheticLog(int lines);

// Log services that do nothing: measures the log core alone.
class NoServices : public LogServices {
public:
    QString memberFirstName(const QString&) override { return {}; }
    void computeTotalScore(LogTable&) override {}
    void clearHisContinent() override {}
};

} // namespace vu::bench
