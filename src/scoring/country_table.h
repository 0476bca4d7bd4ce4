#pragma once

#include "platform/watched_file.h"
#include "scoring/reference_sources.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <unordered_map>
#include <vector>

namespace vu {

// What a country lookup finds: the five fields of a country list line.
struct CountryResult {
    QString matchedPrefix;
    QString entity;
    QString dxccPrefix; // empty: not found
    QString continent;
    QString adif;

    [[nodiscard]] bool found() const { return !dxccPrefix.isEmpty(); }
    bool operator==(const CountryResult&) const = default;
};

// The country list (DXCC.CSV) and the DXCC prefix list cut from a country file.
struct CountryList {
    QByteArray text;
    QStringList dxccPrefixes;
    // Entities whose record lacks its closing ";": the next entities' lines became their aliases.
    QStringList unclosedEntities;
};

// Cuts a country file (cty_wt.dat) into the country list: one line per alias prefix, "=" entries
// and zone overrides left out, comment lines inside records skipped. A field holding a comma
// (some entity names do) is written between double quotes so that it cannot shift the fields.
[[nodiscard]] CountryList buildCountryListText(QByteArrayView countryFile);

// What start-up says of a received country file that is not one.
inline constexpr char kNotACountryFileText[] = "Le fichier reçu n'est pas une liste des pays";
// A real country file has some 340 entities; a file that gives fewer is not one.
inline constexpr qsizetype kMinCountryEntities = 300;

// Checks a received country file before it replaces the file in use: no NUL bytes, the last
// record closed by its ";" (a cut file ends inside one) and at least kMinCountryEntities
// entities with a prefix. Gives kNotACountryFileText, or nothing when the body is a country
// file.
[[nodiscard]] QString countryFileProblem(QByteArrayView body);

// The country list held in memory. It answers exactly as a scan of the list from its first line
// would: the first line with a key wins.
class CountryIndex {
public:
    CountryIndex() = default;
    CountryIndex(const CountryIndex&) = delete;
    CountryIndex& operator=(const CountryIndex&) = delete;
    CountryIndex(CountryIndex&&) = default;
    CountryIndex& operator=(CountryIndex&&) = default;

    // Reads a country list (the content of DXCC.CSV), replacing what was held.
    void load(QByteArrayView list);
    // Changes at every load, so that answers kept from this index can be told stale.
    [[nodiscard]] quint64 generation() const { return m_generation; }
    // Number of lines held (lines without a comma are not lines of the list).
    [[nodiscard]] qsizetype lineCount() const { return static_cast<qsizetype>(m_lines.size()); }

    // The first line whose key equals `prefix`; empty when none.
    [[nodiscard]] CountryResult findPrefix(QStringView prefix) const;
    // The answer for a callsign: the candidates P1 to P4 in order, then the longest alias prefix
    // of the callsign. No value when the callsign gives nothing to look up (empty, or beginning
    // with "/").
    [[nodiscard]] std::optional<CountryResult> lookUp(const QString& callsign) const;

private:
    struct ViewHash {
        size_t operator()(QStringView v) const noexcept { return qHash(v); }
    };
    [[nodiscard]] const CountryResult* find(QStringView key) const;

    std::vector<CountryResult> m_lines;
    // Keys view the lines' own texts, which never change once loaded.
    std::unordered_map<QStringView, size_t, ViewHash> m_first;
    // The lengths of the keys, longest first: the longest-prefix search tries only these.
    std::vector<qsizetype> m_keyLengths;
    quint64 m_generation = 0;
};

// The DXCC country table: the country list built from the country file, and the lookups.
class CountryTable {
public:
    // Files live in `programFolder`: the country file and the country list.
    explicit CountryTable(QString programFolder);
    ~CountryTable();

    // Builds the country list from the country file (fetching the file first when it is missing
    // or gives no country and `allowDownload` is set; else from the shipped copy when the program
    // folder has none) and fills the DXCC prefix list. A country file that gives no country
    // leaves the list as it was; it, a received file that is not a country file, and records
    // that run into the next ones, are reported with an AppError once the build is done, since
    // every contact would otherwise score as an unknown country without a word.
    void buildCountryList(bool allowDownload);
    // The country file shipped with the program, used when the program folder has none and none
    // could be fetched.
    void setFallbackFile(QString path) { m_fallbackFile = std::move(path); }
    // True when the last build took the shipped copy.
    [[nodiscard]] bool usesFallback() const { return m_usesFallback; }
    // DXCC prefixes, each entity once, in country-file order (the station window's list).
    [[nodiscard]] const QStringList& dxccPrefixes() const;

    // The first country list line whose key equals `prefix`; empty when none.
    [[nodiscard]] CountryResult findPrefix(const QString& prefix);
    // Looks a callsign up and returns the held result; an empty callsign (or one that begins
    // with "/") makes no lookup and leaves the previous result.
    const CountryResult& lookUpCountry(const QString& callsign);
    [[nodiscard]] const CountryResult& lastResult() const { return m_last; }

    // Where the country file is fetched from (the public server unless changed).
    void setSources(ReferenceSources sources) { m_sources = std::move(sources); }
    // Fetches the country file when it is missing; true when a new file arrived.
    bool downloadCountryFile();
    // True when the last build fetched the country file (the station window beeps then).
    [[nodiscard]] bool fetchedCountryFile() const { return m_fetched; }
    // Paths of the country file and the country list as they are on disk.
    [[nodiscard]] QString countryFilePath() const { return m_countryFile.path(); }
    [[nodiscard]] QString countryListPath() const { return m_countryList.path(); }
    // The country list in memory, read again first when the file changed on disk. Throws
    // IoError when it cannot be read.
    [[nodiscard]] const CountryIndex& index();

private:
    QString m_programFolder;
    QStringList m_dxccPrefixes;
    CountryResult m_last;
    // Fetches the country file over whatever is there; true when it arrived and passed the
    // content check (a refusal is kept in m_downloadRefusal).
    bool fetchCountryFile();

    ReferenceSources m_sources;
    QString m_fallbackFile;
    QString m_downloadRefusal;
    bool m_usesFallback = false;
    WatchedFile m_countryFile;
    WatchedFile m_countryList;
    CountryIndex m_index;
    bool m_fetched = false;
};

} // namespace vu
