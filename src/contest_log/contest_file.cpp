#include "contest_log/contest_file.h"

#include "platform/paths.h"

#include "contest_log/log_format.h"
#include "platform/durable_file.h"
#include "platform/errors.h"
#include "platform/input_file.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <climits>

namespace vu {

QString fileInUseText(const QString& path) {
    return QStringLiteral("Le fichier %1 est ouvert par un autre programme").arg(path);
}

QString notAContestFileText(const QString& path) {
    return QStringLiteral("Le fichier %1 n'est pas un fichier de concours : il n'a pas été modifié")
        .arg(path);
}

namespace {

// Whether the cells of row k show record r as loading it shows them.
bool rowShows(const LogTable& table, int k, const Record& r) {
    if (r.isBlank()) {
        for (const Col c : {Col::Band, Col::Date, Col::Time, Col::Call, Col::RstSent, Col::RstRcvd,
                            Col::Member, Col::Category}) {
            if (!table.cell(c, k).isEmpty()) {
                return false;
            }
        }
        return true;
    }
    const auto date = dateOfValue(r.date);
    const auto time = timeOfValue(r.time);
    return table.cell(Col::Band, k) == r.band &&
           table.cell(Col::Date, k) == (date ? formatLogDate(*date) : QString()) &&
           table.cell(Col::Time, k) == (time ? formatLogTime(*time) : QString()) &&
           table.cell(Col::Call, k) == r.call && table.cell(Col::RstSent, k) == r.rstSent &&
           table.cell(Col::RstRcvd, k) == r.rstRcvd && table.cell(Col::Member, k) == r.member &&
           table.cell(Col::Category, k) == r.category;
}

} // namespace

ContestFile::ContestFile(LogTable& table, const StationSettings& station)
    : m_table(table), m_station(station) {}

void ContestFile::checkNotInUse(const QString& file) const {
    if (m_lock.holdsFileAt(file) || !QFileInfo::exists(file)) {
        return;
    }
    FileLock probe;
    if (!probe.tryLock(file)) {
        throw AppError(fileInUseText(file));
    }
}

void ContestFile::load() {
    if (!m_readOnly && !m_lock.holdsFileAt(path())) {
        m_file.close();
        m_lock.release();
        if (!m_lock.tryLock(path())) {
            throw AppError(fileInUseText(path()));
        }
    }
    LogTable::Batch batch(m_table);
    m_table.setRowCount(2);
    m_table.clearRow(1);

    m_file.open(path(), !m_readOnly);
    const QByteArray data = m_file.readAll();
    m_isContestFile = m_file.size() % kRecordSize == 0 && isContestFileImage(data);
    const auto count = static_cast<int>(std::min<qint64>(data.size() / kRecordSize, INT_MAX - 2));

    std::vector<Record> records(std::max(count, 1));
    int lastLine = 0;
    for (int k = 1; k < count; ++k) {
        records[k] = decodeRecord(data.constData() + qsizetype(k) * kRecordSize);
        if (!records[k].isBlank()) {
            lastLine = k;
        }
    }
    m_table.setRowCount(lastLine + 1);
    for (int k = 1; k <= lastLine; ++k) {
        m_table.setStoredRecord(k, data.mid(qsizetype(k) * kRecordSize, kRecordSize));
        const Record& r = records[k];
        if (r.isBlank()) {
            continue;
        }
        const auto date = dateOfValue(r.date);
        const auto time = timeOfValue(r.time);
        m_table.setCell(Col::Number, k, QString::number(k));
        m_table.setCell(Col::Band, k, r.band);
        m_table.setCell(Col::Date, k, date ? formatLogDate(*date) : QString());
        m_table.setCell(Col::Time, k, time ? formatLogTime(*time) : QString());
        m_table.setCell(Col::Call, k, r.call);
        m_table.setCell(Col::RstSent, k, r.rstSent);
        m_table.setCell(Col::RstRcvd, k, r.rstRcvd);
        m_table.setCell(Col::Member, k, r.member);
        m_table.setCell(Col::Category, k, r.category);
    }

    // N is the first index past the last record.
    const int n = std::max(count, 1);
    if (n - 1 < 1 || !records[n - 1].isBlank()) {
        m_table.setRowCount(n + 1);
        m_table.setCurrentRow(n);
    } else {
        m_table.setRowCount(n);
        m_table.setCell(Col::RstSent, n - 1, defaultReport());
        m_table.setCell(Col::RstRcvd, n - 1, defaultReport());
    }
    m_table.numberRows();
}

std::optional<Record> ContestFile::storedLine(int k) const {
    const QByteArray& stored = m_table.storedRecord(k);
    if (stored.size() != kRecordSize) {
        return std::nullopt;
    }
    Record r = decodeRecord(stored.constData());
    if (r.isBlank()) {
        return std::nullopt;
    }
    return r;
}

bool ContestFile::isPending(int k) const {
    const QByteArray& stored = m_table.storedRecord(k);
    return !rowShows(m_table, k,
                     stored.size() == kRecordSize ? decodeRecord(stored.constData()) : Record{});
}

bool ContestFile::rowIsStorable(int k) const {
    // A stored line keeps the date and time the grid cannot show (see rowRecord).
    const bool stored = storedLine(k).has_value();
    return (stored || !m_table.cell(Col::Date, k).isEmpty()) &&
           (stored || !m_table.cell(Col::Time, k).isEmpty()) &&
           !m_table.cell(Col::Call, k).isEmpty();
}

void ContestFile::checkWritable() {
    if (m_readOnly) {
        throw AppError(QStringLiteral("Le fichier %1 est ouvert en lecture seule").arg(path()));
    }
    if (!m_isContestFile) {
        throw AppError(notAContestFileText(path()));
    }
    // Another file under the name (put there by another program) must be held before it is
    // written into; a name that cannot be looked at leaves the open file as it is.
    const bool relock = m_lock.isLocked() ? m_lock.lostFileAt(path()) : QFileInfo::exists(path());
    if (relock && QFileInfo::exists(path())) {
        m_file.close(); // opened again on the file now under the name
        m_lock.release();
        if (!m_lock.tryLock(path())) {
            throw AppError(fileInUseText(path()));
        }
    }
}

void ContestFile::storeRow(int k) {
    if (k < 1 || k >= m_table.rowCount() || !rowIsStorable(k)) {
        return;
    }
    const Record record = rowRecord(k); // a bad date or time stops here, before any write
    checkWritable();
    if (!m_file.isOpen()) {
        reopen();
    }
    m_file.write(k, record);
    m_table.setStoredRecord(k, encodeRecord(record));
    try {
        reopen();
    } catch (const IoError&) {
        // The record is durable in the file that is still there (made read-only, say): the QSO is
        // stored, and the next store reports the fault. A file gone from its path is reported now,
        // since the record went with it.
        if (!QFileInfo::exists(path())) {
            throw;
        }
    }
}

void ContestFile::close() {
    m_lock.release();
    m_file.close();
}

void ContestFile::reopen() {
    m_file.close();
    m_file.open(path(), !m_readOnly);
    if (!m_readOnly && (!m_lock.isLocked() || m_lock.lostFileAt(path()))) {
        // Another file was put under the name: it is the current file now.
        if (!m_lock.tryLock(path())) {
            m_file.close();
            throw AppError(fileInUseText(path()));
        }
    }
}

void ContestFile::replaceWith(const QByteArray& image) {
    const bool existed = QFileInfo::exists(path());
    FileLock newLock;
    AtomicWrite how;
    how.beforeRename = [&newLock](const QString& temp) {
        if (!newLock.tryLock(temp)) {
            throw IoError::fromErrno(EWOULDBLOCK, temp);
        }
    };
    // A file that appears meanwhile was made by another program: it is not replaced.
    how.replaceExisting = existed;
    m_file.close();
    try {
        writeFileAtomically(path(), image, how);
    } catch (const IoError& e) {
        if (e.code() == EEXIST) {
            throw AppError(fileInUseText(path()));
        }
        throw;
    }
    m_lock = std::move(newLock);
    m_isContestFile = true;
}

QString ContestFile::backupName(const QString& fileName) {
    return replaceExtension(fileName, u".BAK");
}

void ContestFile::rewrite(const QDateTime& localNow) {
    // Build the new content first: an unreadable cell stops the rewrite before anything changes.
    const Record header = headerRecord(localNow);
    QByteArray image = encodeRecord(header);
    // A row the file held or was stored from is written whatever its cells hold now.
    const auto kept = [this](int k) {
        return rowIsStorable(k) || !m_table.storedRecord(k).isEmpty();
    };
    int last = 0;
    for (int k = 1; k < m_table.rowCount(); ++k) {
        if (kept(k)) {
            last = k;
        }
    }
    image.resize(qsizetype(last + 1) * kRecordSize, '\0');
    for (int k = 1; k <= last; ++k) {
        if (kept(k)) {
            image.replace(qsizetype(k) * kRecordSize, kRecordSize, rowBytes(k));
        }
    }
    checkWritable();

    const QString bak =
        m_station.contestFolder + QLatin1Char('/') + backupName(m_station.contestFileName);
    writeFileAtomically(bak, readWholeFile(path(), kContestFileLimit));
    replaceWith(image);
    m_file.open(path());
    for (int k = 1; k <= last; ++k) {
        m_table.setStoredRecord(k, image.mid(qsizetype(k) * kRecordSize, kRecordSize));
    }
}

Record ContestFile::headerRecord(const QDateTime& localNow) const {
    Record header;
    header.operatorCall = m_station.operatorCall;
    header.stationCall = m_station.stationCall;
    header.date = dayValue(localNow.date());
    header.time = timeFraction(localNow.time());
    header.member = m_station.clubNumber;
    header.category = m_station.category;
    return header;
}

Record ContestFile::rowRecord(int row) const {
    Record r;
    r.operatorCall = m_station.operatorCall;
    r.stationCall = m_station.stationCall;
    const QString& date = m_table.cell(Col::Date, row);
    const QString& time = m_table.cell(Col::Time, row);
    // An empty date or time cell of a stored line (one the file holds in a form the log cannot
    // show) keeps the stored value.
    const Record was = storedLine(row).value_or(Record{});
    r.date = date.isEmpty() ? was.date : dayValue(parseLogDate(date));
    r.time = time.isEmpty() ? was.time : timeFraction(parseLogTime(time));
    r.band = m_table.cell(Col::Band, row);
    r.call = m_table.cell(Col::Call, row);
    r.rstSent = m_table.cell(Col::RstSent, row);
    r.rstRcvd = m_table.cell(Col::RstRcvd, row);
    r.member = m_table.cell(Col::Member, row);
    r.category = m_table.cell(Col::Category, row);
    return r;
}

QByteArray ContestFile::rowBytes(int row) const {
    const QByteArray& stored = m_table.storedRecord(row);
    if (stored.size() == kRecordSize && rowShows(m_table, row, decodeRecord(stored.constData()))) {
        return stored;
    }
    return encodeRecord(rowRecord(row));
}

QByteArray ContestFile::tableImage(const Record* header) const {
    QByteArray image = header != nullptr ? encodeRecord(*header) : QByteArray(kRecordSize, '\0');
    image.reserve(qsizetype(m_table.rowCount()) * kRecordSize);
    for (int k = 1; k < m_table.rowCount(); ++k) {
        image += rowBytes(k);
    }
    return image;
}

QByteArray ContestFile::storedImage(const Record* header) const {
    QByteArray image = header != nullptr ? encodeRecord(*header) : QByteArray(kRecordSize, '\0');
    image.reserve(qsizetype(m_table.rowCount()) * kRecordSize);
    const QByteArray blank(kRecordSize, '\0');
    for (int k = 1; k < m_table.rowCount(); ++k) {
        const bool entry = k == m_table.entryRow();
        const bool asStored = entry ? !m_table.cell(Col::Call, k).isEmpty() : isPending(k);
        if (!asStored) {
            image += rowBytes(k);
        } else {
            const QByteArray& stored = m_table.storedRecord(k);
            image += stored.size() == kRecordSize ? stored : blank;
        }
    }
    return image;
}

void ContestFile::createNew(const QDateTime& localNow) {
    const Record header = headerRecord(localNow);
    QByteArray image;
    if (m_table.rowCount() <= 2) {
        Record placeholder;
        placeholder.rstSent = defaultReport();
        placeholder.rstRcvd = defaultReport();
        placeholder.category = header.category;
        image = encodeRecord(header) + encodeRecord(placeholder);
    } else {
        image = tableImage(&header);
    }
    if (m_readOnly) {
        checkWritable(); // refuses
    }
    checkNotInUse(path());
    replaceWith(image);
    m_file.open(path());
}

void ContestFile::createCleared(const QDateTime& localNow) {
    const QByteArray header = encodeRecord(headerRecord(localNow));
    checkWritable();
    replaceWith(header + header);
}

} // namespace vu
