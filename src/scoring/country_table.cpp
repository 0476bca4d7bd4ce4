#include "scoring/country_table.h"

#include "platform/cp1252.h"
#include "platform/durable_file.h"
#include "platform/errors.h"
#include "platform/input_file.h"
#include "platform/text_trim.h"

#include <QFileInfo>
#include <algorithm>
#include <array>
#include <functional>

namespace vu {

namespace {

constexpr int kHeaderLines = 4;
constexpr int kEntityFields = 8;

// Calls one function per physical line (its LF included) of `text`.
template <typename Fn>
void forEachLine(QByteArrayView text, Fn&& fn) {
    qsizetype pos = 0;
    while (pos < text.size()) {
        const qsizetype lf = text.indexOf('\n', pos);
        const qsizetype end = lf < 0 ? text.size() : lf + 1;
        fn(text.sliced(pos, end - pos));
        pos = end;
    }
}

bool isCommentLine(QByteArrayView line) {
    return trimBlanks(line).startsWith('#');
}

// Drops the comment and blank lines at the start of `text`.
QByteArrayView skipCommentLines(QByteArrayView text) {
    while (!text.isEmpty()) {
        const qsizetype lf = text.indexOf('\n');
        const qsizetype end = lf < 0 ? text.size() : lf + 1;
        const QByteArrayView line = trimBlanks(text.first(end));
        if (!line.isEmpty() && !line.startsWith('#')) {
            break;
        }
        text = text.sliced(end);
    }
    return text;
}

// Removes a zone override: the three characters from `open` on, then one `close` if any is left.
void removeOverride(QByteArray& item, char open, char close) {
    const qsizetype at = item.indexOf(open);
    if (at < 0) {
        return;
    }
    item.remove(at, 3);
    const qsizetype closing = item.indexOf(close);
    if (closing >= 0) {
        item.remove(closing, 1);
    }
}

void appendField(QByteArray& out, QByteArrayView field) {
    if (!field.contains(',') && !field.contains('"')) {
        out += field;
        return;
    }
    out += '"';
    for (const char c : field) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

struct Entity {
    QByteArrayView name;
    QByteArrayView continent;
    QByteArrayView dxcc;
    QByteArrayView adif;
};

// Cuts one record (its text up to and including its ";") into country list lines.
void cutRecord(QByteArrayView record, CountryList& out) {
    Entity entity;
    QByteArrayView rest = record;
    const qsizetype marker = record.indexOf(QByteArrayView("ADIF"));
    if (marker >= 0) {
        // The marker and the separator after it; the number runs to the end of its line, whatever
        // that line's end is.
        rest = record.sliced(std::min(marker + 5, record.size()));
        qsizetype end = 0;
        while (end < rest.size() && rest[end] != '\r' && rest[end] != '\n') {
            ++end;
        }
        entity.adif = trimBlanks(rest.first(end));
        const qsizetype lf = rest.indexOf('\n', end);
        rest = lf < 0 ? QByteArrayView() : rest.sliced(lf + 1);
    }
    rest = skipCommentLines(rest);

    std::array<QByteArrayView, kEntityFields> fields;
    for (QByteArrayView& field : fields) {
        const qsizetype colon = rest.indexOf(':');
        if (colon < 0) {
            return; // no complete entity line: nothing to list
        }
        field = rest.first(colon);
        rest = rest.sliced(colon + 1);
    }
    entity.name = trimBlanks(fields[0]);
    entity.continent = trimBlanks(fields[3]);
    entity.dxcc = trimBlanks(fields[7]);
    const qsizetype star = entity.dxcc.indexOf('*');
    if (star >= 0) {
        entity.dxcc = entity.dxcc.sliced(star + 1);
    }

    // The alias list, without its ";" and without comment lines, which would otherwise become
    // part of the next alias.
    QByteArray aliases;
    forEachLine(rest.chopped(1), [&](QByteArrayView line) {
        if (!isCommentLine(line)) {
            aliases += line;
        }
    });

    const QString dxccText = fromCp1252(entity.dxcc);
    // An entity line among the aliases: this record's ";" is missing.
    if (aliases.contains(':')) {
        out.unclosedEntities.append(fromCp1252(entity.name));
    }
    for (const QByteArray& piece : aliases.split(',')) {
        QByteArray item = trimBlanks(piece).toByteArray();
        removeOverride(item, '(', ')');
        removeOverride(item, '[', ']');
        if (item.contains('=')) {
            continue; // exact-callsign entries take no part in lookups
        }
        appendField(out.text, item.isEmpty() ? entity.dxcc : QByteArrayView(item));
        for (const QByteArrayView field :
             {entity.name, entity.dxcc, entity.continent, entity.adif}) {
            out.text += ',';
            appendField(out.text, field);
        }
        out.text += "\r\n";
        if (out.dxccPrefixes.isEmpty() || out.dxccPrefixes.constLast() != dxccText) {
            out.dxccPrefixes.append(dxccText);
        }
    }
}

// Reads the field that starts at `pos` (a double-quoted one is unquoted) and moves `pos` past
// the comma that ends it; -1 when the line has no further comma.
QByteArray readField(QByteArrayView line, qsizetype& pos) {
    QByteArray value;
    qsizetype at = pos;
    if (at < line.size() && line[at] == '"') {
        ++at;
        while (at < line.size()) {
            if (line[at] == '"') {
                if (at + 1 < line.size() && line[at + 1] == '"') {
                    value += '"';
                    at += 2;
                    continue;
                }
                ++at;
                break;
            }
            value += line[at++];
        }
        const qsizetype comma = line.indexOf(',', at);
        pos = comma < 0 ? -1 : comma + 1;
        return value;
    }
    const qsizetype comma = line.indexOf(',', at);
    const qsizetype end = comma < 0 ? line.size() : comma;
    pos = comma < 0 ? -1 : comma + 1;
    return line.sliced(at, end - at).toByteArray();
}

} // namespace

CountryList buildCountryListText(QByteArrayView countryFile) {
    CountryList out;
    out.text.reserve(countryFile.size() * 3);
    qsizetype pos = 0;
    for (int i = 0; i < kHeaderLines && pos < countryFile.size(); ++i) {
        const qsizetype lf = countryFile.indexOf('\n', pos);
        pos = lf < 0 ? countryFile.size() : lf + 1;
    }

    // A record runs to its ";". A ";" inside a comment line ends nothing.
    QByteArray record;
    forEachLine(countryFile.sliced(pos), [&](QByteArrayView line) {
        if (isCommentLine(line)) {
            record += line;
            return;
        }
        qsizetype start = 0;
        for (qsizetype semi = line.indexOf(';'); semi >= 0; semi = line.indexOf(';', start)) {
            record += line.sliced(start, semi + 1 - start);
            cutRecord(record, out);
            record.clear();
            start = semi + 1;
        }
        record += line.sliced(start);
    });
    return out; // text after the last ";" is no record
}

void CountryIndex::load(QByteArrayView list) {
    ++m_generation;
    m_first.clear();
    m_lines.clear();
    m_keyLengths.clear();
    forEachLine(list, [&](QByteArrayView line) {
        if (line.endsWith('\n')) {
            line.chop(1);
        }
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        if (!line.contains(',')) {
            return;
        }
        CountryResult r;
        qsizetype pos = 0;
        r.matchedPrefix = fromCp1252(readField(line, pos));
        QString* const fields[] = {&r.entity, &r.dxccPrefix, &r.continent};
        for (QString* field : fields) {
            if (pos >= 0) {
                *field = fromCp1252(readField(line, pos));
            }
        }
        if (pos >= 0) {
            r.adif = fromCp1252(trimBlanks(readField(line, pos)));
        }
        // Lines of one entity share their texts.
        if (!m_lines.empty()) {
            const CountryResult& prev = m_lines.back();
            if (prev.entity == r.entity && prev.dxccPrefix == r.dxccPrefix &&
                prev.continent == r.continent && prev.adif == r.adif) {
                r.entity = prev.entity;
                r.dxccPrefix = prev.dxccPrefix;
                r.continent = prev.continent;
                r.adif = prev.adif;
            }
        }
        m_lines.push_back(std::move(r));
    });
    m_first.reserve(m_lines.size());
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const QStringView key = m_lines[i].matchedPrefix;
        m_first.try_emplace(key, i);
        m_keyLengths.push_back(key.size());
    }
    std::sort(m_keyLengths.begin(), m_keyLengths.end(), std::greater<>());
    m_keyLengths.erase(std::unique(m_keyLengths.begin(), m_keyLengths.end()), m_keyLengths.end());
}

const CountryResult* CountryIndex::find(QStringView key) const {
    const auto it = m_first.find(key);
    return it == m_first.end() ? nullptr : &m_lines[it->second];
}

CountryResult CountryIndex::findPrefix(QStringView prefix) const {
    const CountryResult* r = find(prefix);
    return r != nullptr ? *r : CountryResult{};
}

namespace {

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Index of the first digit at the second character or later; -1 when none.
qsizetype firstLaterDigit(QStringView s) {
    for (qsizetype i = 1; i < s.size(); ++i) {
        if (isAsciiDigit(s[i])) {
            return i;
        }
    }
    return -1;
}

} // namespace

std::optional<CountryResult> CountryIndex::lookUp(const QString& callsign) const {
    const QString upper = callsign.toUpper();
    QStringView u = upper;
    const qsizetype slash = u.indexOf(u'/');
    if (slash >= 0) {
        u = u.first(slash);
    }
    if (u.isEmpty()) {
        return std::nullopt;
    }

    const qsizetype digit = firstLaterDigit(u);
    QStringView p1 = u;
    if (isAsciiDigit(u[0])) {
        p1 = digit < 0 ? u : u.first(digit);
    } else if (digit >= 0 && digit < u.size() - 1) {
        p1 = u.first(digit + 2);
    }
    const qsizetype p1Digit = firstLaterDigit(p1);
    const QStringView p2 = p1Digit < 0 ? p1 : p1.first(p1Digit + 1);
    const QStringView p3 = p2.first(p2.size() - 1);
    const QStringView p4 = QStringView(callsign).first(1);

    const CountryResult* last = nullptr;
    for (const QStringView candidate : {p1, p2, p3, p4}) {
        last = find(candidate);
        if (last != nullptr && last->found()) {
            return *last;
        }
    }
    // Prefixes such as 3B8 or 3D2, which the candidates above cannot reach.
    for (const qsizetype len : m_keyLengths) {
        if (len == 0 || len > u.size()) {
            continue;
        }
        const CountryResult* r = find(u.first(len));
        if (r != nullptr && r->found()) {
            return *r;
        }
    }
    return last != nullptr ? *last : CountryResult{};
}

CountryTable::CountryTable(QString programFolder)
    : m_programFolder(std::move(programFolder)),
      m_countryFile(m_programFolder, QStringLiteral("cty_wt.dat")),
      m_countryList(m_programFolder, QStringLiteral("DXCC.CSV")) {}

CountryTable::~CountryTable() = default;

QString countryFileProblem(QByteArrayView body) {
    const QString refusal = QString::fromUtf8(kNotACountryFileText);
    // A file cut short ends inside a record, before its ";".
    const QByteArrayView text = trimBlanks(body);
    if (body.contains('\0') || !text.endsWith(';')) {
        return refusal;
    }
    const CountryList list = buildCountryListText(body);
    return list.dxccPrefixes.size() >= kMinCountryEntities ? QString() : refusal;
}

bool CountryTable::downloadCountryFile() {
    if (m_countryFile.exists()) {
        return false;
    }
    return fetchCountryFile();
}

bool CountryTable::fetchCountryFile() {
    const DownloadResult download =
        downloadToFile(m_sources.countryFileUrl(), m_countryFile.path(), m_sources.http,
                       [](const QByteArray& body) { return countryFileProblem(body); });
    if (download.wrongContent) {
        m_downloadRefusal = download.error + QStringLiteral(" : ") + m_sources.countryFileUrl();
    }
    return download.ok;
}

void CountryTable::buildCountryList(bool allowDownload) {
    m_dxccPrefixes.clear();
    m_fetched = false;
    m_downloadRefusal.clear();
    m_usesFallback = false;
    // The program folder's file, else a fresh one from the server; one that gives no country is
    // fetched again, since it would otherwise stay for good.
    QString source = m_countryFile.path();
    CountryList list;
    EveryStep steps; // an unreadable file is reported, and the shipped copy still stands in
    const auto readList = [&list, &source] {
        list = buildCountryListText(readWholeFile(source, kReferenceFileLimit));
    };
    if (m_countryFile.exists()) {
        steps.run(readList);
    }
    if (list.text.isEmpty() && allowDownload && fetchCountryFile()) {
        m_fetched = true;
        steps.run(readList);
    }
    steps.run([this] {
        if (!m_downloadRefusal.isEmpty()) {
            throw AppError(m_downloadRefusal);
        }
    });
    if (list.text.isEmpty() && m_countryFile.exists() && !steps.failed()) {
        steps.run([&source] {
            throw AppError(
                QStringLiteral("Le fichier des pays %1 ne donne aucun pays : il n'a pas été pris")
                    .arg(source));
        });
    }
    // The copy shipped with the program stands in when there is nothing better; it is not put
    // into the program folder, so that the next start tries the server again.
    if (list.text.isEmpty() && !m_fallbackFile.isEmpty() && QFileInfo::exists(m_fallbackFile)) {
        steps.run([&] {
            CountryList shipped =
                buildCountryListText(readWholeFile(m_fallbackFile, kReferenceFileLimit));
            if (!shipped.text.isEmpty()) {
                source = m_fallbackFile;
                list = std::move(shipped);
                m_usesFallback = true;
            }
        });
    }
    if (list.text.isEmpty()) {
        steps.finish();
        return; // the country list keeps what it had
    }
    writeFileAtomically(m_countryList.path(), list.text);
    // The list just written is the one in memory: no need to read it back.
    (void)m_countryList.changed();
    m_index.load(list.text);
    m_dxccPrefixes = std::move(list.dxccPrefixes);
    if (!list.unclosedEntities.isEmpty()) {
        steps.run([&] {
            throw AppError(
                QStringLiteral("Le fichier des pays %1 est abîmé : il manque le « ; » qui "
                               "termine %2")
                    .arg(source, list.unclosedEntities.join(QStringLiteral(", "))));
        });
    }
    steps.finish();
}

const QStringList& CountryTable::dxccPrefixes() const {
    return m_dxccPrefixes;
}

const CountryIndex& CountryTable::index() {
    m_countryList.reloadIfChanged([this](const QByteArray& bytes) { m_index.load(bytes); });
    return m_index;
}

CountryResult CountryTable::findPrefix(const QString& prefix) {
    m_last = index().findPrefix(prefix);
    return m_last;
}

const CountryResult& CountryTable::lookUpCountry(const QString& callsign) {
    if (std::optional<CountryResult> r = index().lookUp(callsign)) {
        m_last = std::move(*r);
    }
    return m_last;
}

} // namespace vu
