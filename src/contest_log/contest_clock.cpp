#include "contest_log/contest_clock.h"

#include "contest_log/log_format.h"

namespace vu {

ContestClock::ContestClock(const TimeSource& source) : m_source(source) {
    const QDateTime now = utcNow();
    m_date = now.date();
    m_time = QTime(now.time().hour(), now.time().minute());
}

void ContestClock::setRealTime() {
    m_tickEnabled = true;
    m_realTime = true;
    changed();
}

void ContestClock::setDeferredTime() {
    m_tickEnabled = false;
    m_realTime = false;
    changed();
}

QDateTime ContestClock::tick(LogTable& table) {
    if (!m_realTime) {
        return {};
    }
    // Straight from the system's UTC clock: right in half-hour zones and across a change to or
    // from daylight-saving time.
    const QDateTime t = utcNow();
    m_time = t.time();
    m_date = t.date();
    LogTable::Batch batch(table);
    table.setCell(Col::Time, table.entryRow(), formatLogTime(m_time));
    table.setCell(Col::Date, table.entryRow(), formatLogDate(m_date));
    changed();
    return t;
}

void ContestClock::stepTime(int minutes) {
    const int minuteOfDay = m_time.hour() * 60 + m_time.minute();
    const int stepped = ((minuteOfDay + minutes) % 1440 + 1440) % 1440;
    m_time = QTime(stepped / 60, stepped % 60, m_time.second());
    changed();
}

bool ContestClock::entryFieldArrow(int delta) {
    if (!m_realTime) {
        stepTime(delta);
    }
    return true;
}

bool ContestClock::gridArrow(int delta) {
    if (m_realTime) {
        return false;
    }
    stepTime(delta);
    return true;
}

void ContestClock::setPickerDate(QDate date) {
    m_date = date;
    changed();
}

void ContestClock::setPickerTime(QTime time) {
    m_time = time;
    changed();
}

QString ContestClock::logDate() const {
    return formatLogDate(m_date);
}

QString ContestClock::logTime() const {
    return formatLogTime(m_time);
}

void ContestClock::setTickEnabled(bool enabled) {
    if (enabled == m_tickEnabled) {
        return;
    }
    m_tickEnabled = enabled;
    changed();
}

void ContestClock::changed() {
    if (m_onChange) {
        m_onChange();
    }
}

} // namespace vu
