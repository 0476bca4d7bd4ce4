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
// The colour of one pixel line of ImageMagick's text output as "(r,g,b)", 8 bits a channel:
// "0,12: (65535,64507,61680)  #FFFFFBFBF0F0  srgb(255,251,240)" (16 bits, and a name such as
// "silver" in place of srgb() for some colours) or "0,12: (255,251,240)  #FFFBF0  ...".
QString pixelColour(const QString& line) {
    const qsizetype open = line.indexOf(u'(');
    const qsizetype close = line.indexOf(u')', open);
    if (open < 0 || close < 0) {
        return {};
    }
    const QStringList values = line.mid(open + 1, close - open - 1).split(u',');
    const bool wide = line.section(u'#', 1, 1).section(u' ', 0, 0).size() > 8;
    QStringList out;
    for (int i = 0; i < 3 && i < values.size(); ++i) {
        out << QString::number(wide ? values[i].toInt() / 257 : values[i].toInt());
    }
    return u'(' + out.join(u',') + u')';
}

int firstRowOfColour(int x, int top, int height, const QString& colour) {
    QProcess p;
    p.start(QStringLiteral("import"),
            {"-window", "root", "-crop", QStringLiteral("1x%1+%2+%3").arg(height).arg(x).arg(top),
             "+repage", "txt:-"});
    p.waitForFinished(20000);
    const QStringList lines = QString::fromLatin1(p.readAllStandardOutput()).split(u'\n');
    for (const QString& line : lines) {
        if (pixelColour(line) == colour) {
            return top + line.section(u':', 0, 0).section(u',', 1, 1).toInt();
        }
    }
    return -1;
}

// The screen pixels of one row from x to x + width - 1, as "(r,g,b)" texts.
QStringList pixelRow(int x, int y, int width) {
    QProcess p;
    p.start(QStringLiteral("import"),
            {"-window", "root", "-crop", QStringLiteral("%1x1+%2+%3").arg(width).arg(x).arg(y),
             "+repage", "txt:-"});
    p.waitForFinished(20000);
    QStringList pixels(width);
    for (const QString& line : QString::fromLatin1(p.readAllStandardOutput()).split(u'\n')) {
        const int column = line.section(u',', 0, 0).toInt();
        if (line.startsWith(u'#') || column < 0 || column >= width) {
            continue;
        }
        pixels[column] = pixelColour(line);
    }
    return pixels;
}

const QString kCream = QStringLiteral("(255,251,240)");  // odd lines, columns 0 to 9
const QString kSilver = QStringLiteral("(192,192,192)"); // odd lines, points and multiplier
const QString kGreen = QStringLiteral("(192,220,192)");  // the dupe column
const QString kAqua = QStringLiteral("(0,255,255)");     // even lines

// Where the log grid's cells lie on the screen, read from the colours of its first line (an odd
// line: cream, then silver, then green); the grid needs one logged line.
struct GridCells {
    QString seen;      // the runs of colours read, for a failure's message
    int row1 = -1;     // top of line 1
    int rowHeight = 0; // from the top of line 1 to the top of line 2
    QList<int> left;   // each column's first pixel
    QList<int> right;  // and its last
    [[nodiscard]] int x(int column) const { return (left[column] + right[column]) / 2; }
    [[nodiscard]] int y(int line) const { return row1 + (line - 1) * rowHeight + rowHeight / 2; }
    [[nodiscard]] int width(int column) const { return right[column] - left[column] + 1; }
};

GridCells gridCells(const Geometry& window) {
    GridCells g;
    g.row1 = firstRowOfColour(window.x + 6, window.y, window.height, kCream);
    const int row2 = firstRowOfColour(window.x + 6, g.row1, 200, kAqua);
    g.rowHeight = row2 - g.row1;
    const QStringList row = pixelRow(window.x, g.row1 + 1, window.width);
    for (int x = 0; x < row.size();) {
        int end = x;
        while (end + 1 < row.size() && row[end + 1] == row[x]) {
            ++end;
        }
        g.seen += QStringLiteral("%1x%2 ").arg(row[x]).arg(end - x + 1);
        if ((row[x] == kCream || row[x] == kSilver || row[x] == kGreen) && end - x >= 5) {
            g.left << window.x + x;
            g.right << window.x + end;
            if (row[x] == kGreen) {
                break; // the last column; the grid's background may follow
            }
        }
        x = end + 1;
    }
    return g;
}

void click(int x, int y) {
    // From a little aside: a press where the pointer already rests (after a pop-up menu there)
    // is not always taken as a click by the window under it.
    xdotool({"mousemove", "--sync", QString::number(x + 3), QString::number(y + 3)});
    xdotool({"mousemove", "--sync", QString::number(x), QString::number(y), "click", "1"});
}

// The program's windows on the screen now, pop-up menus included.
int visibleWindows() {
    const QString ids = xdotool({"search", "--onlyvisible", "--classname", "varurav-uda"});
    return ids.isEmpty() ? 0 : static_cast<int>(ids.split(u'\n').size());
}

// A right-click on a cell, and its pop-up menu shown.
void popUpMenu(int x, int y) {
    const int before = visibleWindows();
    xdotool({"mousemove", "--sync", QString::number(x), QString::number(y), "click", "3"});
    ASSERT_TRUE(waitFor([&] { return visibleWindows() > before; })) << "no pop-up menu";
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

    // Where the log's cells lie.
    const Geometry main = activeGeometry();
    const GridCells grid = gridCells(main);
    ASSERT_GT(grid.row1, main.y);
    ASSERT_EQ(grid.left.size(), 13) << "the grid's thirteen columns: " << grid.seen.toStdString();
    const int timeX = grid.x(3);
    const int y1 = grid.y(1);

    // A click into the time column: its message, closed once.
    click(timeX, y1);
    ASSERT_TRUE(waitFor([] { return activeIs(kBox); })) << activeWindowName().toStdString();
    key("Return");
    ASSERT_TRUE(waitFor([] { return activeIs(kMain); }));
    ASSERT_FALSE(boxComesBack()) << "the time column's message came back";

    // A report corrected by typing three characters and Enter: on disk at once.
    click(grid.x(6), y1);
    type("579");
    key("Return");
    ASSERT_TRUE(
        waitFor([&] { return test::fileRecords(m_log)[1].rstRcvd == QStringLiteral("579"); }));

    // A correction typed, then another program used and left: the log is not reloaded, so Enter
    // still stores the correction.
    const int y2 = grid.y(2);
    click(grid.x(5), y2);
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

// A contest as an operator runs it: what he types stays where he put it. The band he chose
// survives the program's own windows and boxes, a correction keeps its line's band, the next call
// typed after a correction goes to the entry line, a report never carries an edit he did not
// validate, the pop-up menu acts on the line clicked, "Annuler" of the station window goes back
// to the contest, and the server he typed is kept. Everything by keyboard but the grid's cells.
TEST_F(DesktopAcceptance, WhatTheOperatorTypesStaysWhereHePutIt) {
    const int year = QDate::currentDate().year();
    m_log = m_program + QStringLiteral("/Files/ZIV_URU_%1@F1ISA.QRP").arg(year);
    const auto records = [this] { return test::lineRecords(m_log); };
    const auto waitRecords = [&](const std::function<bool(const std::vector<Record>&)>& done) {
        return waitFor([&] { return done(records()); });
    };

    // The station window from the keyboard: the callsign, the e-mail address with a server and
    // port of his own, then Enter in the last field presses OK.
    start();
    declineRosterUpdate();
    ASSERT_TRUE(waitFor([] { return activeIs(kBox); })) << activeWindowName().toStdString();
    key("Return");
    ASSERT_TRUE(waitFor([] { return activeIs(kStation); })) << activeWindowName().toStdString();
    type("f1isa");
    key("Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab");
    type("op@orange.fr");
    key("Tab");
    type("127.0.0.1");
    key("Tab");
    type("2525");
    key("Return");
    ASSERT_TRUE(waitFor([] { return activeIs(kNaming); })) << activeWindowName().toStdString();
    key("Return");
    ASSERT_TRUE(waitFor([] { return activeIs(kMain); })) << activeWindowName().toStdString();
    ASSERT_TRUE(waitFor([&] { return QFileInfo(m_log).size() == 2 * kRecordSize; }));

    const auto log = [&](const QString& line, int count) {
        type(line);
        key("Return");
        return waitRecords([&](const auto& r) {
            return static_cast<int>(r.size()) >= count &&
                   r[count - 1].call == line.section(u' ', 0, 0);
        });
    };
    ASSERT_TRUE(log("F5AAA", 1));
    key("alt+F2");
    ASSERT_TRUE(log("ZL3CF", 2));
    key("alt+F2");
    ASSERT_TRUE(log("K1ABC", 3));
    key("alt+F2"); // 10 m

    // The examples window, closed with Escape; the deferred-time notice; the time column's box:
    // the band stays 10 m.
    key("alt+e");
    ASSERT_TRUE(waitFor([] { return activeIs(QRegularExpression("^Saisie rapide, exemples$")); }))
        << activeWindowName().toStdString();
    key("Escape");
    ASSERT_TRUE(waitFor([] { return activeIs(kMain); })) << activeWindowName().toStdString();
    key("alt+d"); // deferred time and its notice, then real time again
    ASSERT_TRUE(waitFor([] { return activeIs(kBox); })) << activeWindowName().toStdString();
    key("Return");
    ASSERT_TRUE(waitFor([] { return activeIs(kMain); }));
    ASSERT_FALSE(boxComesBack()); // and the main window's activation has run
    key("alt+t");
    const Geometry main = activeGeometry();
    GridCells grid = gridCells(main);
    ASSERT_EQ(grid.left.size(), 13) << "the grid's thirteen columns: " << grid.seen.toStdString();
    click(grid.x(3), grid.y(1));
    ASSERT_TRUE(waitFor([] { return activeIs(kBox); })) << activeWindowName().toStdString();
    key("Return");
    ASSERT_TRUE(waitFor([] { return activeIs(kMain); }));
    ASSERT_FALSE(boxComesBack()); // and the main window's activation has run
    ASSERT_TRUE(log("HA5XX", 4));
    EXPECT_EQ(records()[3].band, QStringLiteral("10")) << "the band chose before the boxes";

    // A correction of ZL3CF's received report keeps it on 20 m; the next call typed goes to the
    // entry line, not over K1ABC.
    const Record zl = records()[1];
    click(grid.x(6), grid.y(2));
    type("579");
    key("Return");
    ASSERT_TRUE(waitRecords([](const auto& r) { return r[1].rstRcvd == QStringLiteral("579"); }));
    EXPECT_EQ(records()[1].band, QStringLiteral("20"));
    EXPECT_EQ(records()[1].date, zl.date);
    EXPECT_EQ(records()[1].time, zl.time);
    ASSERT_TRUE(log("HA6YY", 5));
    EXPECT_EQ(records()[2].call, QStringLiteral("K1ABC"));
    EXPECT_EQ(records()[4].band, QStringLiteral("10"));

    // A call typed over K1ABC without Enter, then the report: asked, dropped, and the Cabrillo
    // file holds the log as stored.
    click(grid.x(4), grid.y(3));
    type("XX1XX");
    key("alt+c");
    ASSERT_TRUE(waitFor([] { return activeIs(kBox); })) << activeWindowName().toStdString();
    key("Escape"); // "Valider la correction en cours ?" No
    const QString cabrillo = m_program + QStringLiteral("/Files/ZIV_URU_%1@F1ISA.CBR").arg(year);
    ASSERT_TRUE(waitFor([&] { return QFileInfo::exists(cabrillo); }));
    ASSERT_TRUE(waitFor([] { return activeIs(kBox); })) << "the report's message";
    const QString message = xdotool({"getactivewindow"});
    key("Return");
    ASSERT_TRUE(waitFor([&] { return activeIs(kBox) && xdotool({"getactivewindow"}) != message; }))
        << "the report check's findings";
    key("Return");
    ASSERT_TRUE(waitFor([] { return activeIs(kMain); }));
    ASSERT_FALSE(boxComesBack()); // and the main window's activation has run
    EXPECT_TRUE(test::readFile(cabrillo).contains("K1ABC"));
    EXPECT_FALSE(test::readFile(cabrillo).contains("XX1XX"));
    EXPECT_EQ(records()[2].call, QStringLiteral("K1ABC"));

    // The pop-up menu on line 1 deletes line 1, whichever line is current; on line 2 it inserts a
    // blank line there, which takes the current band and the clock once filled.
    popUpMenu(grid.x(4), grid.y(1));
    key("Down Return");
    ASSERT_TRUE(waitFor([] { return activeIs(kBox); })) << activeWindowName().toStdString();
    key("Return");
    ASSERT_TRUE(waitRecords([](const auto& r) { return r[0].call == QStringLiteral("ZL3CF"); }));
    ASSERT_TRUE(waitFor([] { return activeIs(kMain); }));
    ASSERT_FALSE(boxComesBack()); // and the main window's activation has run
    popUpMenu(grid.x(4), grid.y(2));
    key("Down Down Return");
    ASSERT_TRUE(waitFor([] { return activeIs(kBox); })) << activeWindowName().toStdString();
    key("Return");
    ASSERT_TRUE(waitRecords([](const auto& r) {
        return r.size() >= 5 && r[1].call.isEmpty() && r[2].call == QStringLiteral("K1ABC");
    }));
    ASSERT_TRUE(waitFor([] { return activeIs(kMain); }));
    ASSERT_FALSE(boxComesBack()); // and the main window's activation has run
    click(grid.x(4), grid.y(2));
    type("OK1AB");
    key("Return");
    ASSERT_TRUE(waitRecords([](const auto& r) { return r[1].call == QStringLiteral("OK1AB"); }))
        << test::recordCalls(m_log).join(u',').toStdString();
    EXPECT_EQ(records()[1].band, QStringLiteral("10"));
    EXPECT_GT(records()[1].date, 0.0);

    // "Annuler" of the station window goes back to the contest, which goes on.
    key("alt+i");
    ASSERT_TRUE(waitFor([] { return activeIs(kStation); })) << activeWindowName().toStdString();
    key("alt+a");
    ASSERT_TRUE(waitFor([] { return activeIs(kMain); })) << activeWindowName().toStdString();
    ASSERT_TRUE(log("HA5XX", 6)); // a dupe on 10 m

    // The dupe column lies inside the window at its default size, wide enough for its text; A+
    // widens the columns and heightens the rows, A- brings them back.
    grid = gridCells(main);
    ASSERT_EQ(grid.left.size(), 13);
    EXPECT_LT(grid.right[12], main.x + main.width - 1) << "the dupe column is cut";
    EXPECT_GE(grid.width(12), 110);
    key("alt+equal");
    const GridCells larger = gridCells(main);
    ASSERT_GE(larger.left.size(), 3);
    EXPECT_GT(larger.width(2), grid.width(2));
    EXPECT_GT(larger.rowHeight, grid.rowHeight);
    key("alt+minus");
    EXPECT_TRUE(waitFor([&] { return gridCells(main).width(2) == grid.width(2); }));

    // Quit by keyboard; the typed server is kept, and found again by the next start.
    key("alt+q");
    ASSERT_TRUE(m_process.waitForFinished(kWaitMs));
    EXPECT_EQ(m_process.exitCode(), 0);
    const QString ini = m_program + "/Varurav_UDA.ini";
    EXPECT_TRUE(test::readFile(ini).contains("SERVER=127.0.0.1\r\nPORT=2525"));
    start();
    declineRosterUpdate();
    ASSERT_TRUE(waitFor([] { return activeIs(kStation); })) << activeWindowName().toStdString();
    key("Return");
    ASSERT_TRUE(waitFor([] { return activeIs(kNaming); })) << activeWindowName().toStdString();
    key("Return");
    ASSERT_TRUE(waitFor([] { return activeIs(kMain); })) << activeWindowName().toStdString();
    ASSERT_TRUE(log("F5QQQ", 7));
    EXPECT_EQ(records()[6].band, QStringLiteral("10")); // the last line's band
    key("alt+q");
    ASSERT_TRUE(m_process.waitForFinished(kWaitMs));
    EXPECT_TRUE(test::readFile(ini).contains("SERVER=127.0.0.1\r\nPORT=2525"));
}

} // namespace
} // namespace vu
