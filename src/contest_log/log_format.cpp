#include "contest_log/log_format.h"

#include "platform/errors.h"

#include <cmath>

namespace vu {

namespace {

const QDate kEpoch(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
// Far beyond any real log; keeps damaged values away from the calendar's limits.
constexpr double kMaxDays = 3.0e6;

// Splits "a<sep>b[<sep>c]" into numbers of 1 to maxDigits[i] digits; false when it does not fit.
bool splitNumbers(const QString& text, QChar sep, int minParts, int maxParts, int* out,
                  const int* minDigits, const int* maxDigits) {
    const QStringList parts = text.trimmed().split(sep);
    if (parts.size() < minParts || parts.size() > maxParts) {
        return false;
    }
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& p = parts[i];
        if (p.size() < minDigits[i] || p.size() > maxDigits[i]) {
            return false;
        }
        int value = 0;
        for (QChar c : p) {
            if (c < u'0' || c > u'9') {
                return false;
            }
            value = value * 10 + (c.unicode() - u'0');
        }
        out[i] = value;
    }
    return true;
}

} // namespace

QString formatLogDate(QDate date) {
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

QString formatLogTime(QTime time) {
    return time.toString(QStringLiteral("HH:mm"));
}

std::optional<QDate> tryParseLogDate(const QString& text) {
    int v[3] = {0, 0, 0};
    const int minDigits[3] = {1, 1, 2};
    const int maxDigits[3] = {2, 2, 4};
    if (!splitNumbers(text, u'/', 3, 3, v, minDigits, maxDigits)) {
        return std::nullopt;
    }
    const qsizetype yearDigits = text.trimmed().section(u'/', 2).size();
    if (yearDigits == 3) {
        return std::nullopt;
    }
    const int year = yearDigits == 2 ? 2000 + v[2] : v[2];
    const QDate date(year, v[1], v[0]);
    if (!date.isValid()) {
        return std::nullopt;
    }
    return date;
}

std::optional<QTime> tryParseLogTime(const QString& text) {
    int v[3] = {0, 0, 0};
    const int minDigits[3] = {1, 1, 1};
    const int maxDigits[3] = {2, 2, 2};
    if (!splitNumbers(text, u':', 2, 3, v, minDigits, maxDigits)) {
        return std::nullopt;
    }
    const QTime time(v[0], v[1], v[2]);
    if (!time.isValid()) {
        return std::nullopt;
    }
    return time;
}

QDate parseLogDate(const QString& text) {
    if (auto date = tryParseLogDate(text)) {
        return *date;
    }
    throw ConvertError::badDate(text);
}

QTime parseLogTime(const QString& text) {
    if (auto time = tryParseLogTime(text)) {
        return *time;
    }
    throw ConvertError::badTime(text);
}

QString formatCompactDate(QDate date) {
    return date.toString(QStringLiteral("yyyyMMdd"));
}

QString formatCompactTime(QTime time) {
    return time.toString(QStringLiteral("HHmm"));
}

double dayValue(QDate date) {
    return static_cast<double>(kEpoch.daysTo(date));
}

double timeFraction(QTime time) {
    return time.msecsSinceStartOfDay() / kMsPerDay;
}

std::optional<QDate> dateOfValue(double value) {
    if (!std::isfinite(value) || std::fabs(value) > kMaxDays) {
        return std::nullopt;
    }
    const QDate date = kEpoch.addDays(static_cast<qint64>(std::trunc(value)));
    // Only dates the log's own format can write back are dates.
    if (date.year() < 1 || date.year() > 9999) {
        return std::nullopt;
    }
    return date;
}

std::optional<QTime> timeOfValue(double value) {
    if (!std::isfinite(value) || std::fabs(value) > kMaxDays) {
        return std::nullopt;
    }
    const double fraction = std::fabs(value - std::trunc(value));
    auto ms = static_cast<int>(std::llround(fraction * kMsPerDay));
    if (ms >= static_cast<int>(kMsPerDay)) {
        ms = static_cast<int>(kMsPerDay) - 1;
    }
    return QTime::fromMSecsSinceStartOfDay(ms);
}

} // namespace vu
