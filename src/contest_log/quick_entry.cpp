#include "contest_log/quick_entry.h"

#include "contest_log/log_table.h"

#include <limits>

namespace vu {

namespace {

bool isBlankOrControl(QChar c) {
    return c.unicode() <= 32;
}

QString trimmedLeft(const QString& s) {
    qsizetype i = 0;
    while (i < s.size() && isBlankOrControl(s[i])) {
        ++i;
    }
    return s.mid(i);
}

QString trimmedBoth(const QString& s) {
    qsizetype end = s.size();
    while (end > 0 && isBlankOrControl(s[end - 1])) {
        --end;
    }
    return trimmedLeft(s.left(end));
}

// Takes the text before the first blank of `rest` + " " and removes it and the blank.
QString takeToken(QString& rest) {
    rest += u' ';
    const qsizetype blank = rest.indexOf(u' ');
    QString token = rest.left(blank);
    rest.remove(0, blank + 1);
    for (QChar& c : token) {
        if (c >= u'a' && c <= u'z') {
            c = QChar(c.unicode() - 32);
        }
    }
    return token;
}

int hexDigit(QChar c) {
    if (c >= u'0' && c <= u'9') {
        return c.unicode() - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c.unicode() - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c.unicode() - u'A' + 10;
    }
    return -1;
}

// A report of two characters: "NN" with NN in 11..59 gives "NN9".
std::optional<QString> twoDigitReport(const QString& token) {
    const auto v = numericValue(token);
    if (v && *v >= 11 && *v <= 59) {
        return token + u'9';
    }
    return std::nullopt;
}

// A full report of three characters: v div 10 in 11..59 and v mod 10 in 1..9.
bool isFullReport(const QString& token) {
    const auto v = numericValue(token);
    return v && *v / 10 >= 11 && *v / 10 <= 59 && *v % 10 >= 1 && *v % 10 <= 9;
}

bool isDigit1to9(const QString& token) {
    return token.size() == 1 && token[0] >= u'1' && token[0] <= u'9';
}

QString shortReport(const QString& digit) {
    return u'5' + digit + u'9';
}

// Tokens 3 and 4: "O", a short report into `shortTarget`, or a full report received; a bad
// single character gives `oneCharError`, anything out of range 23, four or more characters 33.
void readLaterToken(const QString& token, QString& shortTarget, int oneCharError, QuickEntry& e) {
    if (token.size() == 1) {
        if (token == u'O') {
            e.category = QStringLiteral("QRO");
        } else if (isDigit1to9(token)) {
            shortTarget = shortReport(token);
        } else {
            e.error = oneCharError;
        }
    } else if (token.size() == 2) {
        if (const auto report = twoDigitReport(token)) {
            shortTarget = *report;
        } else {
            e.error = EntryBadReport;
        }
    } else if (token.size() == 3) {
        if (isFullReport(token)) {
            e.rstRcvd = token;
        } else {
            e.error = EntryBadReport;
        }
    } else if (token.size() >= 4) {
        e.error = EntryBadToken3;
    }
}

} // namespace

std::optional<int> numericValue(const QString& token) {
    qsizetype i = 0;
    bool negative = false;
    if (i < token.size() && (token[i] == u'+' || token[i] == u'-')) {
        negative = token[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < token.size() && (token[i] == u'$' || token[i] == u'x' || token[i] == u'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < token.size() && token[i] == u'0' &&
               (token[i + 1] == u'x' || token[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i >= token.size()) {
        return std::nullopt;
    }
    long long value = 0;
    for (; i < token.size(); ++i) {
        const int d = base == 16
                          ? hexDigit(token[i])
                          : (token[i] >= u'0' && token[i] <= u'9' ? token[i].unicode() - u'0' : -1);
        if (d < 0) {
            return std::nullopt;
        }
        value = value * base + d;
        if (value > static_cast<long long>(std::numeric_limits<int>::max()) + 1) {
            return std::nullopt;
        }
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min()) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

QuickEntry parseQuickEntry(const QString& text) {
    QuickEntry e;
    // Control characters typed or pasted into the line (a line end, a tab) never reach the
    // record, where they would split the report lines: a tab separates like a blank, the others
    // are dropped.
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\t') {
            clean += u' ';
        } else if (c.unicode() >= 0x20 && c.unicode() != 0x7F) {
            clean += c;
        }
    }
    QString rest = trimmedLeft(clean);
    const QString t1 = takeToken(rest);
    QString tokens[3];
    for (QString& token : tokens) {
        rest = trimmedBoth(rest);
        token = takeToken(rest);
    }
    const QString& t2 = tokens[0];
    const QString& t3 = tokens[1];
    const QString& t4 = tokens[2];

    e.call = t1;
    e.selectionStart = static_cast<int>(t1.size()) + 1;
    e.selectionLength = static_cast<int>(t2.size());
    bool sent = false;

    // Token 2: normally the report sent.
    if (t2.size() == 1) {
        if (t2 == u'O') {
            e.category = QStringLiteral("QRO");
        } else if (!numericValue(t2)) {
            e.error = EntryBadToken2;
        } else if (isDigit1to9(t2)) {
            e.rstSent = shortReport(t2);
            e.rstRcvd = defaultReport();
            sent = true;
        }
    } else if (t2.size() == 2) {
        if (!numericValue(t2)) {
            e.error = EntryBadReport;
        } else if (const auto report = twoDigitReport(t2)) {
            e.rstSent = *report;
            e.rstRcvd = defaultReport();
            sent = true;
        }
    } else if (t2.size() == 3) {
        if (!numericValue(t2)) {
            e.error = EntryBadReport;
        } else if (isFullReport(t2)) {
            e.rstSent = t2;
            e.rstRcvd = defaultReport();
            sent = true;
        }
    } else if (t2.size() >= 4) {
        e.error = EntryToken2TooLong;
    }

    // Token 3: the report received, or the report sent when token 2 gave none.
    readLaterToken(t3, sent ? e.rstRcvd : e.rstSent, EntryBadToken3, e);
    // Token 4: the report received.
    readLaterToken(t4, e.rstRcvd, EntryBadReport, e);
    return e;
}

} // namespace vu
