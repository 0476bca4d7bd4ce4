#include "scoring/country_table.h"

namespace vu {

CountryTable::CountryTable(QString programFolder) : m_programFolder(std::move(programFolder)) {}

CountryTable::~CountryTable() = default;

void CountryTable::buildCountryList(bool /*allowDownload*/) {}

const QStringList& CountryTable::dxccPrefixes() const {
    return m_dxccPrefixes;
}

CountryResult CountryTable::findPrefix(const QString& /*prefix*/) {
    return {};
}

const CountryResult& CountryTable::lookUpCountry(const QString& callsign) {
    if (!callsign.isEmpty()) {
        m_last = {};
    }
    return m_last;
}

} // namespace vu
