#include "support/test_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

namespace vu {
namespace {

// Starts a copy of the window program, in a program folder of its own that holds the reference
// files (so that nothing is fetched), on the offscreen platform with its own runtime folder.
std::unique_ptr<QProcess> startProgram(const QString& programDir, const QString& runtimeDir) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
    process->setProcessEnvironment(env);
    process->start(programDir + QStringLiteral("/varurav-uda"), {});
    return process;
}

// Waits until the process has the lock file open (it opens it only to lock it), without touching
// the lock itself.
bool waitUntilHeld(const QProcess& process, const QString& path) {
    const QString fds = QStringLiteral("/proc/%1/fd").arg(process.processId());
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 20000) {
        for (const QFileInfo& fd : QDir(fds).entryInfoList(QDir::System | QDir::Files)) {
            if (fd.symLinkTarget() == path) {
                return true;
            }
        }
        QThread::msleep(50);
    }
    return false;
}

TEST(SingleInstance, ASecondStartIsRefusedAndAKilledRunDoesNotBlockTheNext) {
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString lockPath = runtime.filePath(QStringLiteral("VARURAV_UDA.exe.lock"));
    QTemporaryDir program;
    ASSERT_TRUE(program.isValid());
    ASSERT_TRUE(QFile::copy(QStringLiteral(VARURAV_GUI_PATH), program.filePath("varurav-uda")));
    ASSERT_TRUE(QFile::copy(test::fixture("cty_wt.dat"), program.filePath("cty_wt.dat")));
    ASSERT_TRUE(QDir(program.path()).mkpath("Fichiers_BD"));
    ASSERT_TRUE(QFile::copy(test::fixture("roster_sample.csv"),
                            program.filePath("Fichiers_BD/VUZ_adar_2021.csv")));

    auto first = startProgram(program.path(), runtime.path());
    ASSERT_TRUE(first->waitForStarted(10000));
    ASSERT_TRUE(waitUntilHeld(*first, lockPath));

    auto second = startProgram(program.path(), runtime.path());
    ASSERT_TRUE(second->waitForStarted(10000));
    QElapsedTimer timer;
    timer.start();
    QByteArray said;
    while (!said.contains("VARURAV_UDA is already running") && timer.elapsed() < 20000) {
        second->waitForReadyRead(200);
        said += second->readAllStandardError();
    }
    EXPECT_TRUE(said.contains("VARURAV_UDA is already running")) << said.toStdString();
    second->kill();
    second->waitForFinished(5000);
    EXPECT_EQ(first->state(), QProcess::Running);

    ::kill(static_cast<pid_t>(first->processId()), SIGKILL);
    first->waitForFinished(5000);
    auto third = startProgram(program.path(), runtime.path());
    ASSERT_TRUE(third->waitForStarted(10000));
    EXPECT_TRUE(waitUntilHeld(*third, lockPath));
    third->waitForReadyRead(500);
    EXPECT_FALSE(third->readAllStandardError().contains("already running"));
    EXPECT_EQ(third->state(), QProcess::Running);
    third->kill();
    third->waitForFinished(5000);
}

} // namespace
} // namespace vu
