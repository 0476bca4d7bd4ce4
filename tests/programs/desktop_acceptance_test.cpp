// The window program as an operator meets it on a real desktop: started from an empty program
// folder under Xvfb with a window manager, driven only from outside with xdotool (keys, clicks at
// places inside windows found by their titles), checked through its files.
#include "contest_log/record_file.h"
#include "support/test_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

namespace vu {
namespace {

constexpr int kWaitMs = 20000;

bool waitFor(const std::function<bool()>& done, int ms = kWaitMs) {
    return test::waitFor(done, ms);
}

// Runs xdotool; its standard output, trimmed.
QString xdotool(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("xdotool"), args);
    p.waitForFinished(10000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QString activeWindowName() {
    return xdotool({"getactivewindow", "getwindowname"});
}

// The program's message and question boxes carry its name as their title.
const QRegularExpression kBox(QStringLiteral("^VARURAV_UDA$"));
const QRegularExpression kStation(QStringLiteral("^Duruvero VED UVE, V:[^S]*\\)$"));
const QRegularExpression kNaming(QStringLiteral("^Nom et emplacement du fichier concours$"));
const QRegularExpression kMain(QStringLiteral("^Duruvero VED UVE, V:.*Station : F1ISA$"));

bool activeIs(const QRegularExpression& title) {
    return title.match(activeWindowName()).hasMatch();
}

// Whether a box of the program shows up within a short while: what was to follow a closed box
// has happened by then.
bool boxComesBack() {
    return waitFor(
        [] {
            return !xdotool({"search", "--onlyvisible", "--name", kBox.pattern()}).isEmpty();
        },
        1500);
}

// Presses keys one after the other ("Tab Tab space").
void key(const QString& keys) {
    xdotool(QStringList{"key", "--clearmodifiers", "--delay", "80"} + keys.split(u' '));
}

void type(const QString& text) {
    xdotool({"type", "--delay", "60", text});
}

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

Geometry activeGeometry() {
    const QString shell = xdotool({"getactivewindow", "getwindowgeometry", "--shell"});
    Geometry g;
    for (const QString& line : shell.split(u'\n')) {
        const QString value = line.section(u'=', 1);
        if (line.startsWith("X=")) {
            g.x = value.toInt();
        } else if (line.startsWith("Y=")) {
            g.y = value.toInt();
        } else if (line.startsWith("WIDTH=")) {
            g.width = value.toInt();
        } else if (line.startsWith("HEIGHT=")) {
            g.height = value.toInt();
        }
    }
    return g;
}

// The first screen row from `top` down, at column `x`, whose pixel has this colour; -1 if none.
int firstRowOfColour(int x, int top, int height, const QString& colour) {
    QProcess p;
    p.start(QStringLiteral("import"),
            {"-window", "root", "-crop", QStringLiteral("1x%1+%2+%3").arg(height).arg(x).arg(top),
             "+repage", "txt:-"});
    p.waitForFinished(20000);
    const QStringList lines = QString::fromLatin1(p.readAllStandardOutput()).split(u'\n');
    for (const QString& line : lines) {
        // "0,12: (255,251,240)  #FFFBF0  srgb(255,251,240)"
        if (line.contains(colour)) {
            return top + line.section(u':', 0, 0).section(u',', 1, 1).toInt();
        }
    }
    return -1;
}

void click(int x, int y) {
    xdotool({"mousemove", "--sync", QString::number(x), QString::number(y), "click", "1"});
}

class DesktopAcceptance : public ::testing::Test {
protected:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("VARURAV_X_DISPLAY")) {
            GTEST_SKIP() << "needs the real X server that scripts/test starts";
        }
        ASSERT_TRUE(m_dir.isValid());
        test::layShippedProgramFolder(m_program);
        ASSERT_TRUE(QFile::copy(QStringLiteral(VARURAV_GUI_PATH), m_program + "/varurav-uda"));
        for (const char* folder : {"runtime", "home"}) {
            ASSERT_TRUE(QDir().mkpath(m_dir.filePath(QString::fromLatin1(folder))));
        }
        QFile::setPermissions(m_dir.filePath("runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void TearDown() override {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    void start() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", qEnvironmentVariable("VARURAV_X_DISPLAY"));
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("XDG_RUNTIME_DIR", m_dir.filePath("runtime"));
        env.insert("HOME", m_dir.filePath("home"));
        env.remove("VARURAV_X_DISPLAY");
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(m_program + "/varurav-uda", {});
        ASSERT_TRUE(m_process.waitForStarted(10000));
    }

    // The roster question of every start, answered No.
    void declineRosterUpdate() {
        ASSERT_TRUE(waitFor([] { return activeIs(kBox); })) << activeWindowName().toStdString();
        key("Escape");
    }

    // Station window OK: from the operator field, Tab to the OK button and press it.
    void stationOk() {
        ASSERT_TRUE(waitFor([] { return activeIs(kStation); })) << activeWindowName().toStdString();
        key("Tab Tab Tab Tab Tab space");
    }

    QTemporaryDir m_dir;
    QString m_program = m_dir.filePath("program");
    QString m_log = m_program + "/Files/ZIV_URU_2024@F1ISA.QRP";
    QProcess m_process;
};

TEST_F(DesktopAcceptance, FirstStartToQuitAndASecondStartThatFindsTheLog) {
    const int year = QDate::currentDate().year();
    m_log = m_program + QStringLiteral("/Files/ZIV_URU_%1@F1ISA.QRP").arg(year);

    // First start from an empty program folder: the roster question, then the station window
    // asks once for the callsign.
    start();
    declineRosterUpdate();
    ASSERT_TRUE(waitFor([] { return activeIs(kBox); })) << activeWindowName().toStdString();
    key("Return");
    ASSERT_TRUE(waitFor([] { return activeIs(kStation); })) << activeWindowName().toStdString();
    ASSERT_FALSE(boxComesBack()) << "the missing-callsign message came back";
    type("f1isa");
    stationOk();

    // The file naming window: the proposed name, confirmed with Enter.
    ASSERT_TRUE(waitFor([] { return activeIs(kNaming); })) << activeWindowName().toStdString();
    key("Return");
    ASSERT_TRUE(waitFor([] { return activeIs(kMain); })) << activeWindowName().toStdString();
    ASSERT_TRUE(waitFor([&] { return QFileInfo(m_log).size() == 2 * kRecordSize; }));

    // Three QSOs: the first takes the new file's placeholder record, the others add one each.
    const char* calls[] = {"F5AAA", "F5BBB 5 7", "D4ERI"};
    for (int i = 0; i < 3; ++i) {
        type(QString::fromLatin1(calls[i]));
        key("Return");
        ASSERT_TRUE(waitFor([&] {
            const auto r = test::fileRecords(m_log);
            return static_cast<int>(r.size()) == std::max(2, i + 2) &&
                   r[i + 1].call == QString::fromLatin1(calls[i]).section(u' ', 0, 0);
        })) << calls[i];
    }

    // Where the log's first line lies: the first cream row below the entry panel, in the time
    // column (columns are 80 pixels wide by default).
    const Geometry main = activeGeometry();
    const int timeX = main.x + 1 + 3 * 80 + 40;
    const int row1 = firstRowOfColour(timeX, main.y, main.height, QStringLiteral("(255,251,240)"));
    ASSERT_GT(row1, main.y);
    const int y1 = row1 + 8;

    // A click into the time column: its message, closed once.
    click(timeX, y1);
    ASSERT_TRUE(waitFor([] { return activeIs(kBox); })) << activeWindowName().toStdString();
    key("Return");
    ASSERT_TRUE(waitFor([] { return activeIs(kMain); }));
    ASSERT_FALSE(boxComesBack()) << "the time column's message came back";

    // A report corrected by typing three characters and Enter: on disk at once.
    click(main.x + 1 + 6 * 80 + 40, y1);
    type("579");
    key("Return");
    ASSERT_TRUE(
        waitFor([&] { return test::fileRecords(m_log)[1].rstRcvd == QStringLiteral("579"); }));

    // A correction typed, then another program used and left: the log is not reloaded, so Enter
    // still stores the correction.
    const int y2 = y1 + 18;
    click(main.x + 1 + 5 * 80 + 40, y2);
    type("339");
    QProcess other;
    other.start(QStringLiteral("xmessage"), {"-name", "other", "another program"});
    ASSERT_TRUE(other.waitForStarted());
    xdotool({"search", "--sync", "--classname", "other", "windowactivate", "--sync"});
    const QString mainId =
        xdotool({"search", "--onlyvisible", "--name", kMain.pattern()}).section(u'\n', 0, 0);
    xdotool({"windowactivate", "--sync", mainId});
    ASSERT_TRUE(waitFor([] { return activeIs(kMain); }));
    other.kill();
    other.waitForFinished();
    key("Return");
    ASSERT_TRUE(
        waitFor([&] { return test::fileRecords(m_log)[2].rstSent == QStringLiteral("339"); }));

    // "Quitter", at the right end of the tool bar: the first grey row at the window's right
    // edge, looked for from above the window (window managers differ in what they report as
    // its top), is the bar's top.
    const int bar = firstRowOfColour(main.x + main.width - 2, main.y - 60, 200,
                                     QStringLiteral("(212,208,200)"));
    ASSERT_GT(bar, main.y - 60);
    click(main.x + main.width - 40, bar + 20);
    ASSERT_TRUE(m_process.waitForFinished(kWaitMs));
    EXPECT_EQ(m_process.exitCode(), 0);
    EXPECT_TRUE(QFileInfo::exists(m_log + "_Mem"));

    // A second start finds the same station (no question for the callsign), the same file and
    // its log: the next QSO becomes line 4.
    start();
    declineRosterUpdate();
    stationOk();
    ASSERT_FALSE(activeIs(kBox)) << "the missing-callsign message at a second start";
    ASSERT_TRUE(waitFor([] { return activeIs(kNaming); })) << activeWindowName().toStdString();
    key("Return");
    ASSERT_TRUE(waitFor([] { return activeIs(kMain); })) << activeWindowName().toStdString();
    type("F5DDD");
    key("Return");
    ASSERT_TRUE(waitFor([&] {
        const auto r = test::fileRecords(m_log);
        return r.size() == 5 && r[4].call == QStringLiteral("F5DDD");
    }));
    const auto r = test::fileRecords(m_log);
    EXPECT_EQ(r[1].rstRcvd, QStringLiteral("579"));
    EXPECT_EQ(r[2].rstSent, QStringLiteral("339"));
}

} // namespace
} // namespace vu
