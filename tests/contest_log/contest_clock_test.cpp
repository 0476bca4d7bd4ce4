#include "contest_log/contest_clock.h"
#include "support/test_support.h"

#include <QTimeZone>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

namespace vu {
namespace {

// Runs the test body with the process's local time zone set to `zone`.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) {
            m_old = old;
            m_had = true;
        }
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~ScopedTimeZone() {
        if (m_had) {
            ::setenv("TZ", m_old.c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }

private:
    std::string m_old;
    bool m_had = false;
};

QDateTime utc(int y, int mo, int d, int h, int mi, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

TEST(ContestClock, RealTimeTickWritesTrueUtcIntoTheEntryRow) {
    struct Case {
        const char* zone;
        QDateTime instant;
        const char* date;
        const char* time;
    };
    const Case cases[] = {
        // Half-hour zone: 13:05:40 in Kolkata is 07:35 UTC.
        {"Asia/Kolkata", utc(2024, 1, 15, 7, 35, 40), "15/01/2024", "07:35"},
        // Paris, the night of the change to summer time (02:00 CET -> 03:00 CEST, 01:00 UTC).
        {"Europe/Paris", utc(2024, 3, 31, 0, 59), "31/03/2024", "00:59"},
        {"Europe/Paris", utc(2024, 3, 31, 1, 1), "31/03/2024", "01:01"},
        // ... and back to winter time.
        {"Europe/Paris", utc(2024, 10, 27, 0, 30), "27/10/2024", "00:30"},
        {"Europe/Paris", utc(2024, 10, 27, 1, 30), "27/10/2024", "01:30"},
        // Local 00:30 in winter is the previous day's 23:30 UTC.
        {"Europe/Paris", utc(2024, 1, 14, 23, 30), "14/01/2024", "23:30"},
    };
    for (const Case& c : cases) {
        ScopedTimeZone tz(c.zone);
        SCOPED_TRACE(std::string(c.zone) + " " + c.instant.toString().toStdString());
        // The source answers in local time, as a system clock would.
        test::FixedTime source(c.instant.toLocalTime());
        ContestClock clock(source);
        LogTable table;
        clock.setRealTime();
        EXPECT_TRUE(clock.tickEnabled());
        const QDateTime t = clock.tick(table);
        EXPECT_EQ(t, c.instant);
        EXPECT_EQ(table.cell(Col::Date, 1), QLatin1String(c.date));
        EXPECT_EQ(table.cell(Col::Time, 1), QLatin1String(c.time));
        EXPECT_EQ(clock.logDate(), QLatin1String(c.date));
        EXPECT_EQ(clock.logTime(), QLatin1String(c.time));
    }
}

TEST(ContestClock, DeferredTimeTickDoesNothing) {
    test::FixedTime source(utc(2024, 1, 15, 10, 0));
    ContestClock clock(source);
    LogTable table;
    clock.setRealTime();
    clock.setDeferredTime();
    EXPECT_FALSE(clock.tickEnabled());
    EXPECT_FALSE(clock.tick(table).isValid());
    EXPECT_TRUE(table.cell(Col::Time, 1).isEmpty());
}

TEST(ContestClock, StepTimeWrapsWithinTheDay) {
    test::FixedTime source(utc(2024, 1, 15, 23, 59));
    ContestClock clock(source);
    clock.setPickerTime(QTime(23, 59));
    clock.stepTime(+1);
    EXPECT_EQ(clock.logTime(), QStringLiteral("00:00"));
    EXPECT_EQ(clock.logDate(), QStringLiteral("15/01/2024"));
    clock.stepTime(-1);
    clock.stepTime(-1);
    EXPECT_EQ(clock.logTime(), QStringLiteral("23:58"));
}

TEST(ContestClock, ArrowKeysStepOnlyInDeferredTime) {
    test::FixedTime source(utc(2024, 1, 15, 10, 0));
    ContestClock clock(source);
    clock.setRealTime();
    LogTable table;
    clock.tick(table);
    // Real time: the entry field consumes the arrows, the grid navigates.
    EXPECT_TRUE(clock.entryFieldArrow(+1));
    EXPECT_FALSE(clock.gridArrow(+1));
    EXPECT_EQ(clock.logTime(), QStringLiteral("10:00"));

    clock.setDeferredTime();
    EXPECT_TRUE(clock.entryFieldArrow(+1));
    EXPECT_EQ(clock.logTime(), QStringLiteral("10:01"));
    EXPECT_TRUE(clock.gridArrow(-1));
    EXPECT_TRUE(clock.gridArrow(-1));
    EXPECT_EQ(clock.logTime(), QStringLiteral("09:59"));
}

} // namespace
} // namespace vu
