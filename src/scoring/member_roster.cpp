#include "scoring/member_roster.h"

#include <QFileInfo>

namespace vu {

QString baseCallsign(const QString& callsign) {
    return callsign;
}

MemberRoster::MemberRoster(QString programFolder) : m_programFolder(std::move(programFolder)) {}

MemberRoster::~MemberRoster() = default;

QString MemberRoster::rosterPath() const {
    return m_programFolder + QStringLiteral("/Fichiers_BD/VUZ_adar_2021.csv");
}

bool MemberRoster::exists() const {
    return QFileInfo::exists(rosterPath());
}

QString MemberRoster::fileDateText() const {
    return {};
}

MemberResult MemberRoster::lookUpMember(const QString& /*callsign*/) {
    return {};
}

} // namespace vu
