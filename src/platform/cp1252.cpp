#include "platform/cp1252.h"

#include <QStringList>
#include <array>

namespace vu {

namespace {

// Code points of bytes 0x80 to 0x9F; the five bytes the code page leaves undefined map to the
// C1 control of the same value so that they survive a round trip.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char encodeOne(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return static_cast<char>(c);
    }
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == c) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

} // namespace

QByteArray toCp1252(QStringView text) {
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i; // one character outside the code page, written once
            out.append('?');
            continue;
        }
        out.append(encodeOne(c.unicode()));
    }
    return out;
}

qsizetype cp1252Size(QStringView text) {
    qsizetype size = text.size();
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i].isHighSurrogate() && text[i + 1].isLowSurrogate()) {
            --size; // a pair is one character, written as one "?"
            ++i;
        }
    }
    return size;
}

QString fromCp1252(QByteArrayView bytes) {
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        dst[i] = (b >= 0x80 && b < 0xA0) ? QChar(kHigh[b - 0x80]) : QChar(b);
    }
    return out;
}

QByteArray cp1252Lines(const QStringList& lines) {
    qsizetype size = 0;
    for (const QString& line : lines) {
        size += line.size() + 2;
    }
    QByteArray out;
    out.reserve(size); // one allocation for a whole report file
    for (const QString& line : lines) {
        out += toCp1252(line);
        out += "\r\n";
    }
    return out;
}

} // namespace vu
