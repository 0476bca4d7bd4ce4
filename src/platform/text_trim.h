#pragma once

#include <QByteArrayView>
#include <QStringView>

namespace vu {

// Trims blanks and control characters (codes up to 32) from both ends, the way the program has
// always trimmed the fields of its text files (QString::trimmed keeps other control codes).
[[nodiscard]] inline QByteArrayView trimBlanks(QByteArrayView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') {
        ++begin;
    }
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') {
        --end;
    }
    return text.sliced(begin, end - begin);
}

[[nodiscard]] inline QStringView trimBlanks(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= ' ') {
        ++begin;
    }
    while (end > begin && text[end - 1].unicode() <= ' ') {
        --end;
    }
    return text.sliced(begin, end - begin);
}

} // namespace vu
