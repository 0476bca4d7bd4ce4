#include "platform/ascii_text.h"

namespace vu {

namespace {

bool printable(char16_t c) {
    return c >= 32 && c <= 126;
}

// Letters and signs that have no decomposition into ASCII but a usual ASCII spelling.
const char* spelling(char16_t c) {
    switch (c) {
    case u'ß':
        return "ss";
    case u'Æ':
        return "AE";
    case u'æ':
        return "ae";
    case u'Œ':
        return "OE";
    case u'œ':
        return "oe";
    case u'Ø':
        return "O";
    case u'ø':
        return "o";
    case u'Đ':
    case u'Ð':
        return "D";
    case u'đ':
    case u'ð':
        return "d";
    case u'Ł':
        return "L";
    case u'ł':
        return "l";
    case u'Þ':
        return "TH";
    case u'þ':
        return "th";
    case u'ı':
        return "i";
    case u'\u2018': // quotation marks
    case u'\u2019':
    case u'\u201A':
    case u'\u2032':
        return "'";
    case u'\u201C':
    case u'\u201D':
    case u'\u201E':
    case u'\u2033':
    case u'«':
    case u'»':
        return "\"";
    case u'\u2010': // hyphens and dashes
    case u'\u2011':
    case u'\u2012':
    case u'\u2013':
    case u'\u2014':
    case u'\u2212':
        return "-";
    case u'\u2044': // fraction slash
        return "/";
    case u'\u2026':
        return "...";
    case u'\u20AC':
        return "EUR";
    default:
        return nullptr;
    }
}

// One character that is not printable ASCII, in ASCII.
void appendAscii(QString& out, char16_t c) {
    if (c < 32 || c == 127 || (c >= 0x80 && c < 0xA0)) {
        out += u' ';
        return;
    }
    if (const char* s = spelling(c)) {
        out += QLatin1StringView(s);
        return;
    }
    // Compatibility decomposition: a letter and its accents, a ligature as its letters, a
    // no-break space as a blank. Only the ASCII part is kept.
    const QString decomposed = QString(QChar(c)).normalized(QString::NormalizationForm_KD);
    qsizetype kept = 0;
    for (const QChar d : decomposed) {
        if (printable(d.unicode())) {
            out += d;
            ++kept;
        } else if (const char* part = spelling(d.unicode())) {
            out += QLatin1StringView(part);
            ++kept;
        }
    }
    if (kept == 0) {
        out += u'?';
    }
}

} // namespace

bool isPrintableAscii(QStringView text) {
    for (const QChar c : text) {
        if (!printable(c.unicode())) {
            return false;
        }
    }
    return true;
}

QString toAsciiText(QStringView text) {
    if (isPrintableAscii(text)) {
        return text.toString();
    }
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (printable(c.unicode())) {
            out += c;
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += u'?'; // one character outside the basic plane: one mark
            ++i;
        } else if (c.isSurrogate()) {
            out += u'?';
        } else {
            appendAscii(out, c.unicode());
        }
    }
    return out;
}

bool isAllDigits(QStringView text) {
    if (text.isEmpty()) {
        return false;
    }
    for (const QChar c : text) {
        if (c < u'0' || c > u'9') {
            return false;
        }
    }
    return true;
}

} // namespace vu
