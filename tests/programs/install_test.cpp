#include "support/test_support.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <grp.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace vu {
namespace {

constexpr uid_t kNobody = 65534;

// An install into a temporary prefix, run by an operator who may not write into its bin/
// folder: the user "nobody" when the tests run as root (root writes everywhere), the test's own
// user otherwise, with bin/ made read-only. The operator's home is a folder of the test.
class InstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_root.isValid());
        QFile::setPermissions(m_root.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                 QFile::ExeOwner | QFile::ReadOther |
                                                 QFile::ExeOther);
        QProcess install;
        install.start(QStringLiteral(VARURAV_CMAKE_COMMAND),
                      {"--install", QStringLiteral(VARURAV_BUILD_DIR), "--prefix", prefix});
        ASSERT_TRUE(install.waitForFinished(120000));
        ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();
        ASSERT_TRUE(QFile::setPermissions(prefix + "/bin", QFile::ReadOwner | QFile::ExeOwner |
                                                               QFile::ReadOther | QFile::ExeOther));

        // The operator's station and the reference files (so that nothing is fetched); what
        // the program ships must come from the install.
        ASSERT_TRUE(QDir().mkpath(userFolder));
        test::writeFile(userFolder + "/Varurav_UDA.ini",
                        "[VGlobales]\r\nOPERATOR=D4ERI\r\nMY_STATION=D4ERI/P\r\n");
        test::layReferenceData(userFolder);
        ASSERT_TRUE(QDir().mkpath(runtime));
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (::geteuid() == 0) {
            handToNobody(m_root.filePath("home"));
            handToNobody(runtime);
        }
    }

    static void handToNobody(const QString& folder) {
        ASSERT_EQ(::chown(QFile::encodeName(folder).constData(), kNobody, kNobody), 0);
        QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            ASSERT_EQ(::chown(QFile::encodeName(it.next()).constData(), kNobody, kNobody), 0);
        }
    }

    // Starts an installed program as the operator, on the offscreen platform.
    std::unique_ptr<QProcess> start(const QString& program, const QStringList& args) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOME", m_root.filePath("home"));
        env.insert("XDG_DATA_HOME", m_root.filePath("home/.local/share"));
        env.insert("XDG_CONFIG_HOME", m_root.filePath("home/.config"));
        env.insert("XDG_CACHE_HOME", m_root.filePath("home/.cache"));
        env.insert("XDG_RUNTIME_DIR", runtime);
        process->setProcessEnvironment(env);
        if (::geteuid() == 0) {
            process->setChildProcessModifier([] {
                // In the child between fork and exec: async-signal-safe calls only.
                if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 ||
                    ::setuid(kNobody) != 0) {
                    ::_exit(126);
                }
            });
        }
        process->start(prefix + "/bin/" + program, args);
        return process;
    }

    struct Run {
        int exitCode = -1;
        QString out;
        QString err;
    };

    Run runCli(const QStringList& args) {
        auto process = start("varurav-uda-cli", args);
        if (!process->waitForFinished(120000)) {
            process->kill();
            process->waitForFinished(5000);
            return {};
        }
        return {process->exitCode(), QString::fromUtf8(process->readAllStandardOutput()),
                QString::fromUtf8(process->readAllStandardError())};
    }

    QTemporaryDir m_root;
    const QString prefix = m_root.filePath("prefix");
    const QString userFolder = m_root.filePath("home/.local/share/VARURAV_UDA");
    const QString runtime = m_root.filePath("runtime");
};

// Whether the process has this file open (the program opens its lock file only to lock it).
bool holds(const QProcess& process, const QString& path) {
    const QString fds = QStringLiteral("/proc/%1/fd").arg(process.processId());
    for (const QFileInfo& fd : QDir(fds).entryInfoList(QDir::System | QDir::Files)) {
        if (fd.symLinkTarget() == path) {
            return true;
        }
    }
    return false;
}

// Waits up to 20 s for `done`.
template <typename Done>
bool waitFor(Done done) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > 20000) {
            return false;
        }
        QThread::msleep(50);
    }
    return true;
}

TEST_F(InstallTest, TheInstalledProgramsRunFromThePerUserFolderAndLogQsos) {
    const QString share = prefix + "/share";
    for (const QString& file :
         {prefix + "/bin/varurav-uda", prefix + "/bin/varurav-uda-cli",
          share + "/varurav-uda/SMTP.csv", share + "/varurav-uda/Lng/F_F_ZUZUDER.ini",
          share + "/varurav-uda/Lng/F_EN_ZUZUDER.ini", share + "/varurav-uda/Lng/F_SP_ZUZUDER.ini",
          share + "/varurav-uda/Lng/F_I_ZUZUDER.ini", share + "/varurav-uda/VARURAV_UDA_FR.html",
          share + "/varurav-uda/VARURAV_UDA_EN.html", share + "/varurav-uda/Secours/cty_wt.dat",
          share + "/applications/varurav-uda.desktop",
          share + "/icons/hicolor/scalable/apps/varurav-uda.svg",
          share + "/icons/hicolor/128x128/apps/varurav-uda.png"}) {
        EXPECT_TRUE(QFileInfo(file).isFile()) << file.toStdString();
    }
    const QByteArray desktop = test::readFile(share + "/applications/varurav-uda.desktop");
    EXPECT_TRUE(desktop.contains("\nExec=varurav-uda\n")) << desktop.toStdString();
    EXPECT_TRUE(desktop.contains("\nIcon=varurav-uda\n")) << desktop.toStdString();

    // The window program starts, takes its single-instance lock and makes its folders; since
    // it may not write beside itself, they are in the per-user folder, seeded from share/.
    auto gui = start("varurav-uda", {});
    ASSERT_TRUE(gui->waitForStarted(10000));
    const QString lock = runtime + "/VARURAV_UDA.exe.lock";
    EXPECT_TRUE(waitFor([&] { return holds(*gui, lock); }));
    EXPECT_TRUE(waitFor([&] { return QFileInfo(userFolder + "/Files").isDir(); }));
    EXPECT_EQ(gui->state(), QProcess::Running) << gui->readAllStandardError().toStdString();
    gui->kill();
    gui->waitForFinished(5000);
    for (const char* name : {"SMTP.csv", "Lng/F_F_ZUZUDER.ini", "Lng/F_EN_ZUZUDER.ini",
                             "VARURAV_UDA_FR.html", "VARURAV_UDA_EN.html"}) {
        EXPECT_EQ(test::readFile(userFolder + "/" + name),
                  test::readFile(share + "/varurav-uda/" + name))
            << name;
    }

    // The installed tool logs two QSOs as Enter in the main window does, into a new contest
    // file; a second run reads them back and scores them.
    const QString contest = userFolder + "/Files/TEST.QRP";
    const Run logged = runCli({"log", contest, "DL1ABC 5 4 O", "D4ERI"});
    ASSERT_EQ(logged.exitCode, 0) << logged.err.toStdString();
    const Run scored = runCli({"score", contest});
    ASSERT_EQ(scored.exitCode, 0) << scored.err.toStdString();
    const QStringList rows = scored.out.split('\n', Qt::SkipEmptyParts);
    // The same QSOs as logged; the entry row differs (the log run's clock stamped it).
    EXPECT_EQ(rows.mid(0, 2), logged.out.split('\n').mid(0, 2));
    ASSERT_EQ(rows.size(), 4) << scored.out.toStdString(); // two QSOs, the entry row, the score
    EXPECT_EQ(rows[0].split('\t').mid(4, 5), (QStringList{"DL1ABC", "559", "549", "NM", "QRO"}));
    EXPECT_EQ(rows[1].split('\t').mid(4, 5), (QStringList{"D4ERI", "599", "599", "123", "QRP"}));
    EXPECT_TRUE(rows[3].startsWith("Score = ")) << rows[3].toStdString();

    // Without a country file of its own (offline in the field), the shipped one stands in: the
    // same scores, and no word of missing countries.
    EXPECT_EQ(test::readFile(share + "/varurav-uda/Secours/cty_wt.dat"),
              test::readFile(QStringLiteral(VARURAV_SOURCE_DIR "/data/cty_wt.dat")));
    ASSERT_TRUE(QFile::remove(userFolder + "/cty_wt.dat"));
    ASSERT_TRUE(QFile::remove(userFolder + "/DXCC.CSV"));
    const Run fallback = runCli({"score", contest});
    ASSERT_EQ(fallback.exitCode, 0) << fallback.err.toStdString();
    EXPECT_EQ(fallback.out, scored.out);
    EXPECT_FALSE(fallback.err.contains("Pas de liste des pays")) << fallback.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(userFolder + "/cty_wt.dat"));

    EXPECT_EQ(QDir(prefix + "/bin").entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{"varurav-uda", "varurav-uda-cli"}));
}

} // namespace
} // namespace vu
