#include "scoring/member_roster.h"

#include "platform/cp1252.h"
#include "platform/text_trim.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace vu {

namespace {

const QString kRosterFolder = QStringLiteral("Fichiers_BD");
const QString kRosterName = QStringLiteral("VUZ_adar_2021.csv");

} // namespace

QString baseCallsign(const QString& callsign) {
    QString s = callsign;
    if (!s.contains(u'/')) {
        return s;
    }
    // A plain substring test: /PM, or F/ before a call beginning with N, count as well.
    for (const char* suffix : {"/A", "/P", "/M", "/MM", "/QRP", "/N"}) {
        if (s.contains(QLatin1String(suffix))) {
            s.truncate(s.lastIndexOf(u'/'));
            break;
        }
    }
    const qsizetype slash = s.indexOf(u'/');
    return slash < 0 ? s : s.mid(slash + 1);
}

QString rosterBodyProblem(QByteArrayView body) {
    const QString refusal = QString::fromUtf8(kNotARosterText);
    if (body.contains('\0')) {
        return refusal;
    }
    const QString text = fromCp1252(body);
    qsizetype members = 0;
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
        if (trimBlanks(line).isEmpty()) {
            continue;
        }
        const QChar sep = line.contains(u',') ? u',' : u';';
        if (!line.contains(sep)) {
            return refusal; // not the roster's columns
        }
        const QStringView call = trimBlanks(line.first(line.indexOf(sep)));
        bool digit = false;
        for (const QChar c : call) {
            if (!(c.isLetterOrNumber() && c.unicode() < 0x80) && c != u'/') {
                return refusal;
            }
            digit = digit || c.isDigit();
        }
        // A callsign holds a digit; the title line ("Indicatif") does not.
        members += digit ? 1 : 0;
    }
    return members > 0 ? QString() : refusal;
}

void RosterIndex::load(QByteArrayView roster) {
    m_members.clear();
    const QString text = fromCp1252(roster);
    // The separator starts as "," and turns to ";" for good at the first line without ","
    // (blank lines aside, which hold nothing and change nothing).
    QChar sep = u',';
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
        if (trimBlanks(line).isEmpty()) {
            continue;
        }
        if (!line.contains(sep)) {
            sep = u';';
        }
        // A field is read only up to the separator that follows it.
        const qsizetype first = line.indexOf(sep);
        if (first < 0) {
            continue;
        }
        const QStringView call = line.first(first);
        const QString key = trimBlanks(call).toString();
        if (key.isEmpty() || m_members.contains(key)) {
            continue; // an empty callsign is nobody; the first line of a callsign wins
        }
        MemberResult member;
        member.rosterCall = call.toString();
        member.number.clear();
        const qsizetype second = line.indexOf(sep, first + 1);
        if (second >= 0) {
            member.number = trimBlanks(line.sliced(first + 1, second - first - 1)).toString();
            const qsizetype third = line.indexOf(sep, second + 1);
            if (third >= 0) {
                member.firstName =
                    trimBlanks(line.sliced(second + 1, third - second - 1)).toString();
            }
        }
        m_members.insert(key, member);
    }
}

MemberResult RosterIndex::find(const QString& key) const {
    return m_members.value(key);
}

MemberRoster::MemberRoster(QString programFolder)
    : m_programFolder(std::move(programFolder)),
      m_file(m_programFolder + QLatin1Char('/') + kRosterFolder, kRosterName) {}

MemberRoster::~MemberRoster() = default;

QString MemberRoster::rosterPath() const {
    return m_file.path();
}

bool MemberRoster::exists() const {
    return m_file.exists();
}

QString MemberRoster::fileDateText() const {
    const QFileInfo info(rosterPath());
    if (!info.exists()) {
        return {};
    }
    return info.lastModified().toString(QStringLiteral("dd/MM/yyyy"));
}

const RosterIndex& MemberRoster::index() {
    m_file.reloadIfChanged([this](const QByteArray& bytes) { m_index.load(bytes); });
    return m_index;
}

MemberResult MemberRoster::lookUpMember(const QString& callsign) {
    const QString key = trimBlanks(baseCallsign(callsign).toUpper()).toString();
    const RosterIndex& members = index();
    if (key.isEmpty()) {
        return {};
    }
    return members.find(key);
}

bool MemberRoster::checkInternetConnection() const {
    return urlReachable(m_sources.clubServer + QLatin1Char('/'), m_sources.http);
}

RosterUpdate MemberRoster::updateRoster() {
    RosterUpdate update;
    if (!checkInternetConnection()) {
        update.outcome = RosterUpdate::Outcome::NoConnection;
        update.showNoDatabase = true;
        update.infoText = QStringLiteral(" Pas de connexion Internet");
        return update;
    }
    QDir(m_programFolder).mkpath(kRosterFolder);
    const DownloadResult download =
        downloadToFile(m_sources.rosterUrl(), rosterPath(), m_sources.http,
                       [](const QByteArray& body) { return rosterBodyProblem(body); });
    if (download.ok) {
        update.outcome = RosterUpdate::Outcome::Updated;
        update.dateText = QStringLiteral("Date MAJ fichier : ") + fileDateText();
        update.infoText = QStringLiteral("Mise à jour réussie");
    } else {
        update.outcome = RosterUpdate::Outcome::Failed;
        // A body that is not a roster is named as such: the operator knows why the old one
        // stays.
        update.infoText =
            download.wrongContent
                ? download.error
                : QStringLiteral("La MAJ a échoué; vous utilisez une ancienne base de données");
        update.error = download.error;
    }
    return update;
}

} // namespace vu
