// The window program killed at random moments while it logs: every QSO it validated is in the log
// after a restart, and no file it writes is ever left half-written.
#include "contest_log/record_file.h"
#include "platform/ini_file.h"
#include "support/test_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

namespace vu {
namespace {

// Every file the program writes as records is whole: a whole number of records, at least the
// header.
void expectWholeRecords(const QString& path) {
    const qint64 size = QFileInfo(path).size();
    EXPECT_GE(size, kRecordSize) << path.toStdString();
    EXPECT_EQ(size % kRecordSize, 0) << path.toStdString() << " holds " << size << " bytes";
}

TEST(CrashSafety, KilledWhileLoggingLosesNoValidatedQsoAndLeavesNoHalfWrittenFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString program = dir.filePath("program");
    const QString runtime = dir.filePath("runtime");
    const QString backups = dir.filePath("backups");
    test::layShippedProgramFolder(program);
    ASSERT_TRUE(QFile::copy(QStringLiteral(VARURAV_DRIVER_PATH), program + "/varurav-uda"));
    ASSERT_TRUE(QDir().mkpath(runtime));
    ASSERT_TRUE(QDir().mkpath(backups));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QRandomGenerator random(20240120);
    QSet<QString> validated;
    const int rounds = 6;
    for (int round = 0; round <= rounds; ++round) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", runtime);
        env.insert("VARURAV_DRIVER_FIRST", QString::number(round * 1000));
        env.insert("VARURAV_DRIVER_SEED", QString::number(random.generate()));
        env.insert("VARURAV_DRIVER_BACKUPS", backups);
        process.setProcessEnvironment(env);
        process.setStandardErrorFile(QProcess::nullDevice()); // the offscreen platform's notes
        process.start(program + "/varurav-uda", {});
        ASSERT_TRUE(process.waitForStarted(10000));

        QByteArray out;
        QElapsedTimer timer;
        timer.start();
        while (!out.contains("ready\n") && timer.elapsed() < 30000 &&
               process.state() == QProcess::Running) {
            process.waitForReadyRead(100);
            out += process.readAllStandardOutput();
        }
        ASSERT_TRUE(out.contains("ready\n")) << "round " << round << ": " << out.toStdString();

        // The last start only checks that the program opens the log it left.
        if (round < rounds) {
            const qint64 runFor = 100 + random.bounded(900);
            timer.restart();
            while (timer.elapsed() < runFor) {
                process.waitForReadyRead(10);
            }
        }
        ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
        ASSERT_TRUE(process.waitForFinished(10000));
        out += process.readAllStandardOutput();
        for (const QByteArray& line : out.split('\n')) {
            EXPECT_FALSE(line.startsWith("error ")) << "round " << round << ": " << line.data();
            if (line.startsWith("stored ")) {
                validated.insert(QString::fromLatin1(line.mid(7)));
            }
        }

        const QStringList logs = QDir(program + "/Files").entryList({"*.QRP"}, QDir::Files);
        ASSERT_EQ(logs.size(), 1) << logs.join(' ').toStdString();
        const QString log = program + "/Files/" + logs[0];
        expectWholeRecords(log);
        const QStringList logged = test::recordCalls(log);
        for (const QString& call : validated) {
            EXPECT_TRUE(logged.contains(call)) << "round " << round << ": " << call.toStdString();
        }
        const QString bak = log.chopped(4) + ".BAK";
        if (QFile::exists(bak)) {
            expectWholeRecords(bak);
        }
        for (const QString& name : QDir(backups).entryList(QDir::Files)) {
            EXPECT_TRUE(name.endsWith(".sav")) << name.toStdString();
            expectWholeRecords(backups + "/" + name);
        }
        const QByteArray settings = test::readFile(program + "/Varurav_UDA.ini");
        EXPECT_TRUE(settings.endsWith("\r\n"));
        const IniFile ini(program + "/Varurav_UDA.ini");
        EXPECT_EQ(ini.readString("VGlobales", "OPERATOR"), "F1ISA");
        EXPECT_EQ(ini.readString("VGlobales", "NOM_FICHIER"), logs[0]);
    }
    // The rounds went through every kind of write.
    EXPECT_GT(validated.size(), 50);
    EXPECT_EQ(QDir(program + "/Files").entryList({"*.BAK"}, QDir::Files).size(), 1);
    EXPECT_FALSE(QDir(backups).entryList(QDir::Files).isEmpty());
}

} // namespace
} // namespace vu
