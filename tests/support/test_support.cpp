#include "support/test_support.h"

#include "contest_log/log_format.h"
#include "contest_log/record_file.h"
#include "platform/cp1252.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

namespace vu::test {

QString fixture(const QString& name) {
    return QStringLiteral(VARURAV_FIXTURES_DIR "/") + name;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray withLf(QByteArray crlf) {
    return crlf.replace("\r\n", "\n");
}

QByteArray randomBytes(qsizetype size, quint32 seed) {
    QByteArray bytes(size, '\0');
    QRandomGenerator random(seed);
    for (char& c : bytes) {
        c = static_cast<char>(random.bounded(256));
    }
    return bytes;
}

void layProgramFolder(const QString& programFolder, const QStringList& settings) {
    ASSERT_TRUE(QDir().mkpath(programFolder));
    writeFile(programFolder + QStringLiteral("/Varurav_UDA.ini"), cp1252Lines(settings));
    writeFile(programFolder + QStringLiteral("/SMTP.csv"),
              "Domaine;SMTP;Port\r\norange;smtp.orange.fr;25\r\n");
}

void layReferenceData(const QString& programFolder) {
    ASSERT_TRUE(QFile::copy(fixture(QStringLiteral("cty_wt.dat")),
                            programFolder + QStringLiteral("/cty_wt.dat")));
    ASSERT_TRUE(QDir().mkpath(programFolder + QStringLiteral("/Fichiers_BD")));
    writeFile(programFolder + QStringLiteral("/Fichiers_BD/VUZ_adar_2021.csv"),
              "Indicatif,Numero,Prenom,Adhesion\r\nD4ERI,123,Eric,2020\r\n");
}

FileSizeLimit::FileSizeLimit(quint64 bytes) {
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    m_savedCurrent = saved.rlim_cur;
    m_savedMax = saved.rlim_max;
    m_handler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, saved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    const rlimit saved{m_savedCurrent, m_savedMax};
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, m_handler);
}

AsUnprivilegedUser::AsUnprivilegedUser() {
    if (::geteuid() == 0) {
        m_switched = ::seteuid(65534) == 0;
    }
}

AsUnprivilegedUser::~AsUnprivilegedUser() {
    if (m_switched) {
        [[maybe_unused]] const int rc = ::seteuid(0);
    }
}

void layShippedProgramFolder(const QString& folder) {
    ASSERT_TRUE(QDir().mkpath(folder + "/Lng"));
    const QDir lang(QStringLiteral(VARURAV_SOURCE_DIR "/lang"));
    for (const QString& name : lang.entryList({"*.ini"}, QDir::Files)) {
        ASSERT_TRUE(QFile::copy(lang.filePath(name), folder + "/Lng/" + name));
    }
    ASSERT_TRUE(
        QFile::copy(QStringLiteral(VARURAV_SOURCE_DIR "/data/SMTP.csv"), folder + "/SMTP.csv"));
    ASSERT_TRUE(QFile::copy(fixture("cty_wt.dat"), folder + "/cty_wt.dat"));
    ASSERT_TRUE(QDir().mkpath(folder + "/Fichiers_BD"));
    ASSERT_TRUE(
        QFile::copy(fixture("roster_sample.csv"), folder + "/Fichiers_BD/VUZ_adar_2021.csv"));
}

std::vector<Record> fileRecords(const QString& path) {
    const QByteArray bytes = readFile(path);
    std::vector<Record> records;
    for (qsizetype i = 0; i + kRecordSize <= bytes.size(); i += kRecordSize) {
        records.push_back(decodeRecord(bytes.constData() + i));
    }
    return records;
}

std::vector<Record> lineRecords(const QString& path) {
    std::vector<Record> records = fileRecords(path);
    if (!records.empty()) {
        records.erase(records.begin());
    }
    return records;
}

QStringList recordCalls(const QString& path) {
    QStringList calls;
    for (const Record& r : lineRecords(path)) {
        calls << r.call;
    }
    return calls;
}

LogTable logTableOf(const std::vector<QStringList>& lines) {
    LogTable table;
    table.setRowCount(static_cast<int>(lines.size()) + 2);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        for (int col = 0; col < lines[i].size(); ++col) {
            table.setCell(col, static_cast<int>(i) + 1, lines[i][col]);
        }
    }
    return table;
}

Record lineRecord(const QString& call, const QString& band, QDate date, QTime time,
                  const QString& member, const QString& category) {
    Record r;
    r.operatorCall = QStringLiteral("D4ERI");
    r.stationCall = QStringLiteral("D4ERI/P");
    r.date = dayValue(date);
    r.time = timeFraction(time);
    r.band = band;
    r.call = call;
    r.rstSent = QStringLiteral("599");
    r.rstRcvd = QStringLiteral("599");
    r.member = member;
    r.category = category;
    return r;
}

std::unique_ptr<Application> startOffline(const QString& programFolder, const TimeSource& time) {
    ApplicationOptions options;
    options.programFolder = programFolder;
    options.timeSource = &time;
    options.allowNetwork = false;
    auto app = std::make_unique<Application>(options);
    app->startUp();
    return app;
}

bool waitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(5);
    }
    return true;
}

} // namespace vu::test
