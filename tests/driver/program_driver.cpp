// The window program started exactly as main() starts it, then driven through its real widgets:
// the station window's OK, the file naming OK, and QSOs typed into the entry field, with the
// settings saved, backups written and a blank line inserted and deleted now and then. Each QSO
// the log stored is printed ("stored CALL") once the store has returned, so that a test killing
// this process knows what was validated before the kill.
//
// Environment: VARURAV_DRIVER_FIRST (number of the first callsign), VARURAV_DRIVER_SEED (pauses
// between actions), VARURAV_DRIVER_BACKUPS (the backup folder).
#include "app/application.h"
#include "platform/errors.h"
#include "platform/instance_lock.h"
#include "platform/program_folder.h"
#include "support/scripted_dialogs.h"
#include "ui/dialogs.h"
#include "ui/file_naming_window.h"
#include "ui/main_window.h"
#include "ui/program_start.h"
#include "ui/program_windows.h"
#include "ui/station_window.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <cstdio>

namespace {

void say(const QString& line) {
    std::fprintf(stdout, "%s\n", qPrintable(line));
    std::fflush(stdout);
}

// Answers Yes to every question and prints what the operator would see.
// Callsigns F0AAA, F1AAA ... numbered from `n`, each different.
QString callsign(int n) {
    QString letters;
    int rest = n / 10;
    for (int i = 0; i < 3; ++i) {
        letters.prepend(QChar(u'A' + rest % 26));
        rest /= 26;
    }
    return QStringLiteral("F%1%2").arg(n % 10).arg(letters);
}

class Driver {
public:
    Driver(vu::Application& app, vu::ProgramWindows& windows)
        : m_app(app), m_windows(windows),
          m_random(qEnvironmentVariableIntValue("VARURAV_DRIVER_SEED")),
          m_next(qEnvironmentVariableIntValue("VARURAV_DRIVER_FIRST")),
          m_backups(qEnvironmentVariable("VARURAV_DRIVER_BACKUPS")) {}

    void openLog() {
        vu::StationWindow& station = m_windows.station();
        if (station.Edit_op->text().isEmpty()) {
            QTest::keyClicks(station.Edit_op, QStringLiteral("f1isa"));
        }
        QTest::mouseClick(station.Button_quit, Qt::LeftButton);
        vu::FileNamingWindow& naming = m_windows.fileNaming();
        if (!naming.isVisible()) {
            fail(QStringLiteral("the file naming window did not open"));
        }
        QTest::mouseClick(naming.BitBtn_fichier_close, Qt::LeftButton);
        if (!m_windows.main().isVisible()) {
            fail(QStringLiteral("the main window did not open"));
        }
        m_app.saveSettings();
        say(QStringLiteral("ready"));
        scheduleNext();
    }

private:
    [[noreturn]] static void fail(const QString& why) {
        say(QStringLiteral("error ") + why);
        std::exit(2);
    }

    void scheduleNext() {
        QTimer::singleShot(static_cast<int>(m_random.bounded(15)), [this] { step(); });
    }

    void step() {
        vu::MainWindow& main = m_windows.main();
        const QString call = callsign(m_next++);
        const int rows = m_app.session().table().rowCount();
        main.Edit_saisie->setFocus();
        QTest::keyClicks(main.Edit_saisie, call);
        QTest::keyClick(main.Edit_saisie, Qt::Key_Return);
        const vu::LogTable& table = m_app.session().table();
        if (table.rowCount() == rows + 1 && table.cell(vu::Col::Call, rows - 1) == call) {
            say(QStringLiteral("stored ") + call);
        }
        ++m_steps;
        try {
            if (m_steps % 5 == 0) {
                m_app.saveSettings();
            }
            if (m_steps % 7 == 0 && !m_backups.isEmpty()) {
                (void)m_app.session().backups().rotatingBackup(m_backups,
                                                               m_app.station().contestFileName);
            }
        } catch (const vu::AppError& e) {
            say(QStringLiteral("error ") + e.message());
        }
        if (m_steps % 9 == 0) {
            insertAndDeleteBlankLine(main);
        }
        scheduleNext();
    }

    // Both rewrite the contest file behind a ".BAK" copy and leave the log as it was.
    static void insertAndDeleteBlankLine(vu::MainWindow& main) {
        QAbstractItemModel* model = main.Grille_log->model();
        main.Grille_log->setCurrentIndex(model->index(1, 4));
        main.Insrerunelignevide1->trigger();
        main.Grille_log->setCurrentIndex(model->index(1, 4));
        QTest::keyClick(main.Grille_log, Qt::Key_W, Qt::AltModifier);
    }

    vu::Application& m_app;
    vu::ProgramWindows& m_windows;
    QRandomGenerator m_random;
    int m_next;
    QString m_backups;
    int m_steps = 0;
};

} // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VARURAV_UDA"));

    vu::InstanceLock lock(vu::InstanceLock::defaultPath());
    if (!lock.tryLock()) {
        say(QStringLiteral("error ") + vu::InstanceLock::alreadyRunningText());
        return 1;
    }

    // Every question is answered Yes; boxes are reported on the standard output, an error on one
    // line.
    vu::test::ScriptedDialogs dialogs;
    dialogs.defaultAnswer = true;
    dialogs.onShown = [](const QString& kind, const QString& text) {
        say(kind + u' ' +
            (kind == QLatin1String("error") ? QString(text).replace(u'\n', u' ') : text));
    };
    vu::ApplicationOptions options;
    options.programFolder = vu::resolveProgramFolder(
        vu::executableFolder(), QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    options.allowNetwork = false; // tests never reach the public servers
    vu::StartedProgram program(options, dialogs);
    Driver driver(program.app(), program.windows());
    QTimer::singleShot(0, [&driver] { driver.openLog(); });
    return QApplication::exec();
}
