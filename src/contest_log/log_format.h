#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <optional>

namespace vu {

// The log format set: dates "DD/MM/YYYY" and times "HH:MM" in the grid.
[[nodiscard]] QString formatLogDate(QDate date);
[[nodiscard]] QString formatLogTime(QTime time);
// Reads a date cell as day/month/year: one or two digits for day and month, two or four for
// the year (a two-digit year is taken in 2000-2099). Throws ConvertError.
[[nodiscard]] QDate parseLogDate(const QString& text);
// Reads a time cell as hours:minutes with optional :seconds, one or two digits each.
// Throws ConvertError.
[[nodiscard]] QTime parseLogTime(const QString& text);
// Non-throwing forms of the two readers.
[[nodiscard]] std::optional<QDate> tryParseLogDate(const QString& text);
[[nodiscard]] std::optional<QTime> tryParseLogTime(const QString& text);

// The compact format set: "YYYYMMDD" and "HHMM".
[[nodiscard]] QString formatCompactDate(QDate date);
[[nodiscard]] QString formatCompactTime(QTime time);

// Date values of the contest file count days since 1899-12-30; the fraction is the time of day.
[[nodiscard]] double dayValue(QDate date);
[[nodiscard]] double timeFraction(QTime time);
// The date of a day value (its whole part); empty outside the years 1 to 9999.
[[nodiscard]] std::optional<QDate> dateOfValue(double value);
// The time of day of a value (its fraction, to the millisecond); empty for NaN or infinity.
[[nodiscard]] std::optional<QTime> timeOfValue(double value);

} // namespace vu
