#include "platform/ini_file.h"

#include "platform/cp1252.h"
#include "platform/durable_file.h"
#include "platform/errors.h"
#include "platform/input_file.h"

#include <QFile>
#include <QFileInfo>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace vu {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

QStringView trimBlanks(QStringView text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isBlank(text[first])) {
        ++first;
    }
    while (last > first && isBlank(text[last - 1])) {
        --last;
    }
    return text.mid(first, last - first);
}

// The name of a section header line ("[name]"), or a null view for any other line.
QStringView sectionName(QStringView line) {
    const QStringView t = trimBlanks(line);
    if (!t.startsWith(u'[')) {
        return {};
    }
    const qsizetype close = t.indexOf(u']');
    return trimBlanks(t.mid(1, close < 0 ? -1 : close - 1));
}

bool isSection(QStringView line) {
    return !sectionName(line).isNull();
}

// Splits a "key=value" line; false for comments and lines without "=".
bool splitKeyLine(QStringView line, QStringView& key, QStringView& value) {
    const QStringView t = trimBlanks(line);
    if (t.isEmpty() || t.startsWith(u';')) {
        return false;
    }
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0) {
        return false;
    }
    key = trimBlanks(t.left(eq));
    value = trimBlanks(t.mid(eq + 1));
    return true;
}

// A read value: trimmed already, one pair of enclosing quotes dropped, cut to the read buffer.
QString readValue(QStringView value) {
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front()) {
        value = value.mid(1, value.size() - 2);
    }
    return value.left(IniFile::kMaxValueLength).toString();
}

// The value of a digit in `base` (10 or 16), or -1.
int digitOf(QChar c, int base) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') {
        return u - u'0';
    }
    const char16_t lower = u | 0x20;
    if (base == 16 && lower >= u'a' && lower <= u'f') {
        return 10 + (lower - u'a');
    }
    return -1;
}

bool sameName(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A value never spans lines, or the file would no longer read back.
QString oneLine(QString value) {
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return value;
}

} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) {
    QByteArray bytes;
    try {
        bytes = readWholeFile(m_path, kTextFileLimit);
    } catch (const IoError&) {
        // The services answer defaults for a file they cannot read; such a file is never saved
        // over, since that would put those defaults in place of what it holds.
        m_unreadable = QFileInfo::exists(m_path) || QFileInfo(m_path).isSymLink();
        if (m_unreadable) {
            m_readError = std::current_exception();
        }
        return;
    }
    m_lines = fromCp1252(bytes).split(u'\n');
    if (!m_lines.isEmpty() && m_lines.back().isEmpty()) {
        m_lines.removeLast();
    }
    for (QString& line : m_lines) {
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
    }
}

void IniFile::raiseReadError() const {
    if (m_readError) {
        std::rethrow_exception(m_readError);
    }
}

qsizetype IniFile::findSection(QStringView section) const {
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const QStringView name = sectionName(m_lines[i]);
        if (!name.isNull() && sameName(name, section)) {
            return i;
        }
    }
    return -1;
}

qsizetype IniFile::sectionEnd(qsizetype sectionLine) const {
    qsizetype i = sectionLine + 1;
    while (i < m_lines.size() && !isSection(m_lines[i])) {
        ++i;
    }
    return i;
}

qsizetype IniFile::findKey(qsizetype sectionLine, QStringView key) const {
    const qsizetype end = sectionEnd(sectionLine);
    for (qsizetype i = sectionLine + 1; i < end; ++i) {
        QStringView k;
        QStringView v;
        if (splitKeyLine(m_lines[i], k, v) && sameName(k, key)) {
            return i;
        }
    }
    return -1;
}

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& defaultValue) const {
    const qsizetype s = findSection(section);
    const qsizetype line = s < 0 ? -1 : findKey(s, key);
    if (line < 0) {
        return defaultValue;
    }
    QStringView k;
    QStringView v;
    splitKeyLine(m_lines[line], k, v);
    return readValue(v);
}

bool IniFile::parseInteger(QStringView text, int& value) {
    text = trimBlanks(text);
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    int base = 10;
    if (text.startsWith(u'$')) {
        base = 16;
        text = text.mid(1);
    } else if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        text = text.mid(2);
    }
    if (text.isEmpty()) {
        return false;
    }
    qint64 n = 0;
    for (const QChar c : text) {
        const int digit = digitOf(c, base);
        if (digit < 0) {
            return false;
        }
        n = n * base + digit;
        if (n > qint64(std::numeric_limits<int>::max()) + 1) {
            return false;
        }
    }
    n = negative ? -n : n;
    if (n > std::numeric_limits<int>::max() || n < std::numeric_limits<int>::min()) {
        return false;
    }
    value = static_cast<int>(n);
    return true;
}

int IniFile::readInteger(const QString& section, const QString& key, int defaultValue) const {
    int value = 0;
    return parseInteger(readString(section, key), value) ? value : defaultValue;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value) {
    const qsizetype s = findSection(section);
    if (s < 0) {
        m_lines << QLatin1Char('[') + section + QLatin1Char(']');
        m_lines << key + QLatin1Char('=') + oneLine(value);
        return;
    }
    const qsizetype line = findKey(s, key);
    if (line >= 0) {
        QStringView existingKey;
        QStringView old;
        splitKeyLine(m_lines[line], existingKey, old);
        m_lines[line] = existingKey.toString() + QLatin1Char('=') + oneLine(value);
        return;
    }
    // After the section's last non-blank line, so the blank line before the next section stays.
    qsizetype at = sectionEnd(s);
    while (at > s + 1 && trimBlanks(m_lines[at - 1]).isEmpty()) {
        --at;
    }
    m_lines.insert(at, key + QLatin1Char('=') + oneLine(value));
}

void IniFile::writeInteger(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

void IniFile::save() const {
    const QString refusal = QStringLiteral("Impossible d'écrire dans %1").arg(m_path);
    if (m_unreadable) {
        throw AppError(refusal);
    }
    // A read-only file keeps what it holds, although its folder would let a new file take its
    // name.
    struct stat st {};
    if (::stat(QFile::encodeName(m_path).constData(), &st) == 0 &&
        (::access(QFile::encodeName(m_path).constData(), W_OK) != 0 ||
         (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)) {
        throw AppError(refusal);
    }
    try {
        writeFileAtomically(m_path, cp1252Lines(m_lines));
    } catch (const IoError&) {
        throw AppError(refusal);
    }
}

} // namespace vu
