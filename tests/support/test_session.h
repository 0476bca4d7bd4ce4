#pragma once

#include "app/contest_session.h"
#include "support/test_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vu::test {

// A contest session on a log file in a folder of its own ("LOG.QRP"), with the real country file
// and a roster that knows F5ABC (member 123, Jean) and D4ERI (member 12, Eric).
class TestSession {
public:
    explicit TestSession(const QDateTime& now);

    [[nodiscard]] QString folder() const { return m_dir.path(); }

    QTemporaryDir m_dir;
    StationSettings station;
    CountryTable countries;
    MemberRoster roster;
    LanguageTexts texts;
    FixedTime time;
    ContestSession session;
    LogTable& table;
    ContestClock& clock;
    ContestFile& file;
};

// A test on a contest session at a fixed instant, with short names for the session's parts.
class SessionTest : public ::testing::Test {
protected:
    explicit SessionTest(const QDateTime& now) : contest(now) {}

    TestSession contest;
    StationSettings& station = contest.station;
    LogTable& table = contest.table;
    ContestClock& clock = contest.clock;
    ContestFile& file = contest.file;
};

} // namespace vu::test
