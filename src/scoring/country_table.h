#pragma once

#include <QString>
#include <QStringList>

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

// The DXCC country table: the country list built from the country file, and the lookups.
class CountryTable {
public:
    // Files live in `programFolder`: the country file and the country list.
    explicit CountryTable(QString programFolder);
    ~CountryTable();

    // Builds the country list from the country file (fetching the file first when it is missing
    // and `allowDownload` is set) and fills the DXCC prefix list.
    void buildCountryList(bool allowDownload);
    // DXCC prefixes, each entity once, in country-file order (the station window's list).
    [[nodiscard]] const QStringList& dxccPrefixes() const;

    // The first country list line whose key equals `prefix`; empty when none.
    [[nodiscard]] CountryResult findPrefix(const QString& prefix);
    // Looks a callsign up and returns the held result; an empty callsign (or one that begins
    // with "/") makes no lookup and leaves the previous result.
    const CountryResult& lookUpCountry(const QString& callsign);
    [[nodiscard]] const CountryResult& lastResult() const { return m_last; }

private:
    QString m_programFolder;
    QStringList m_dxccPrefixes;
    CountryResult m_last;
};

} // namespace vu
