#pragma once

#include "contest_log/log_table.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <functional>

namespace vu {

// Where the clock reads the present: the system in the program, a fixed value in tests.
class TimeSource {
public:
    virtual ~TimeSource() = default;
    // The present instant, in UTC or local time: the clock converts it.
    [[nodiscard]] virtual QDateTime now() const = 0;
};

class SystemTimeSource : public TimeSource {
public:
    [[nodiscard]] QDateTime now() const override { return QDateTime::currentDateTimeUtc(); }
};

// The contest clock: real-time mode follows UTC, deferred-time mode lets the operator set the
// pickers' date and time by hand. It owns the two pickers' values and the tick's on/off state.
class ContestClock {
public:
    explicit ContestClock(const TimeSource& source);

    [[nodiscard]] bool isRealTime() const { return m_realTime; }
    // Switches to real-time mode: the tick is enabled, the pickers become read-only.
    void setRealTime();
    // Switches to deferred-time mode: the tick is disabled, the pickers become editable.
    // The window then shows the msg_QTR text.
    void setDeferredTime();

    // The one-second tick. In real-time mode it sets the pickers to the present UTC time and writes
    // the entry row's date and time; returns that time (invalid in deferred-time mode).
    QDateTime tick(LogTable& table);

    // Moves the time picker by `minutes` within its day; the date is not touched.
    void stepTime(int minutes);

    // Up (+1) or Down (-1) in the quick-entry field: steps in deferred-time mode; always consumed.
    bool entryFieldArrow(int delta);
    // Up or Down in the log grid: steps and consumes in deferred-time mode; in real-time mode
    // the grid navigates as usual (returns false).
    bool gridArrow(int delta);

    [[nodiscard]] QDate pickerDate() const { return m_date; }
    [[nodiscard]] QTime pickerTime() const { return m_time; }
    void setPickerDate(QDate date);
    void setPickerTime(QTime time);
    // The pickers' values in the log's formats, as a validated line takes them.
    [[nodiscard]] QString logDate() const;
    [[nodiscard]] QString logTime() const;

    // Present UTC time of the source.
    [[nodiscard]] QDateTime utcNow() const { return m_source.now().toUTC(); }
    // Present local time (header records are stamped with it).
    [[nodiscard]] QDateTime localNow() const { return m_source.now().toLocalTime(); }

    // The timer that drives the tick.
    [[nodiscard]] bool tickEnabled() const { return m_tickEnabled; }
    void setTickEnabled(bool enabled);
    // Called whenever the tick is switched on or off, or the pickers change.
    void setOnChange(std::function<void()> onChange) { m_onChange = std::move(onChange); }

private:
    void changed();

    const TimeSource& m_source;
    bool m_realTime = false;
    bool m_tickEnabled = false;
    QDate m_date;
    QTime m_time;
    std::function<void()> m_onChange;
};

} // namespace vu
