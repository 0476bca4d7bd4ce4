#include "ui/program_windows.h"

#include "app/application.h"
#include "platform/errors.h"
#include "ui/dialogs.h"
#include "ui/examples_window.h"
#include "ui/file_naming_window.h"
#include "ui/main_window.h"
#include "ui/report_window.h"
#include "ui/station_window.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QUrl>

namespace vu {

namespace {

void place(QWidget* window, const WindowPlacement& p) {
    window->resize(p.width, p.height);
    window->move(p.left, p.top);
}

WindowPlacement placementOf(const QWidget* window) {
    return {window->width(), window->y(), window->x(), window->height()};
}

} // namespace

ProgramWindows::ProgramWindows(Application& app, Dialogs& dialogs)
    : m_app(app), m_dialogs(dialogs) {
    m_station = std::make_unique<StationWindow>(app, dialogs);
    m_fileNaming = std::make_unique<FileNamingWindow>(app, dialogs);
    m_main = std::make_unique<MainWindow>(app, dialogs);
    m_examples = std::make_unique<ExamplesWindow>();
    m_report = std::make_unique<ReportWindow>(app, dialogs);
    applyPlacements();
    applyTexts();
    m_app.texts().setOnChange([this] { applyTexts(); });

    connect(m_station.get(), &StationWindow::accepted, this, [this] {
        m_fileNaming->show();
        m_fileNaming->raise();
        m_fileNaming->activateWindow();
        m_fileNaming->FormActivate();
    });
    connect(m_station.get(), &StationWindow::cancelled, this, &ProgramWindows::quitRequested);
    connect(m_main.get(), &MainWindow::closed, this, &ProgramWindows::quitRequested);
    connect(m_station.get(), &StationWindow::stationChanged, m_main.get(), &MainWindow::render);
    connect(m_fileNaming.get(), &FileNamingWindow::confirmed, this, [this] {
        m_main->Label_nomfichier->setText(m_app.fileNaming().mainFileLabel());
        m_main->show();
        m_main->raise();
        m_main->activateWindow();
        m_main->FormActivate();
    });
    connect(m_main.get(), &MainWindow::examplesWanted, this, [this] {
        m_examples->show();
        m_examples->raise();
        m_examples->activateWindow();
    });
    connectMainCommands();
}

ProgramWindows::~ProgramWindows() {
    m_app.texts().setOnChange({});
}

void ProgramWindows::start() {
    m_station->show();
    m_station->render();
}

void ProgramWindows::applyPlacements() {
    const ScreenLayout& layout = m_app.layout();
    place(m_main.get(), layout.window(AppWindow::Main));
    place(m_station.get(), layout.window(AppWindow::Station));
    place(m_fileNaming.get(), layout.window(AppWindow::FileNaming));
    place(m_examples.get(), layout.window(AppWindow::Examples));
    place(m_report.get(), layout.window(AppWindow::ReportMail));
    QHeaderView* header = m_main->Grille_log->horizontalHeader();
    for (int c = 0; c < m_app.table().columnCount(); ++c) {
        header->resizeSection(c, layout.columnWidth(c));
    }
}

void ProgramWindows::keepPlacements() {
    ScreenLayout& layout = m_app.layout();
    layout.window(AppWindow::Main) = placementOf(m_main.get());
    layout.window(AppWindow::Station) = placementOf(m_station.get());
    layout.window(AppWindow::FileNaming) = placementOf(m_fileNaming.get());
    layout.window(AppWindow::Examples) = placementOf(m_examples.get());
    layout.window(AppWindow::ReportMail) = placementOf(m_report.get());
    const QHeaderView* header = m_main->Grille_log->horizontalHeader();
    layout.columnWidths.clear();
    for (int c = 0; c < m_app.table().columnCount(); ++c) {
        layout.columnWidths.push_back(header->sectionSize(c));
    }
}

void ProgramWindows::applyTexts() {
    m_main->applyTexts();
    m_station->applyTexts();
    m_fileNaming->applyTexts();
    const LanguageTexts& texts = m_app.texts();
    if (texts.isLoaded()) {
        m_examples->setTexts(texts.caption(Form::Examples, u"Label_comment_saisie"),
                             {texts.examplesTitle(0), texts.examplesTitle(2),
                              texts.examplesTitle(3), texts.examplesTitle(4),
                              texts.examplesTitle(5)},
                             texts.windowTitle(Form::Examples));
    }
}

void ProgramWindows::connectMainCommands() {
    MainWindow& main = *m_main;
    const QAction* languages[] = {main.Franais1, main.Anglais1, main.Espagnol, main.Italien1};
    for (int i = 0; i < 4; ++i) {
        connect(languages[i], &QAction::triggered, this, [this, i] {
            try {
                m_app.chooseLanguage(i + 1);
            } catch (const AppError& e) {
                m_dialogs.error(e.message());
            }
        });
    }
    const auto open = [this] {
        const QString path =
            m_dialogs.openFile(m_app.filesFolder(), QStringLiteral("Fichier QEP (*.QRP)"), true);
        if (path.isEmpty()) {
            return;
        }
        keepPlacements();
        try {
            m_app.openLog(path);
        } catch (const AppError& e) {
            m_dialogs.error(e.message());
        }
        m_fileNaming->render();
        m_main->Label_nomfichier->setText(QFileInfo(path).fileName().section(u'.', 0, 0));
        m_main->render();
        m_main->Edit_saisie->setFocus();
    };
    connect(main.SpeedButton_ouvrir, &QToolButton::clicked, this, open);
    connect(main.Ouvrir1, &QAction::triggered, this, open);
    connect(main.SpeedButton_retour_info, &QToolButton::clicked, this, [this] {
        m_app.clock().setTickEnabled(false);
        if (m_app.hasLogLines() && m_dialogs.ask(QStringLiteral("Effacer les QSO actuels ?"),
                                                 Dialogs::Icon::Information)) {
            try {
                m_app.clearLog();
            } catch (const AppError& e) {
                m_dialogs.error(e.message());
            }
        }
        m_station->show();
        m_station->raise();
        m_station->activateWindow();
        m_app.clock().setTickEnabled(true);
        m_main->render();
    });
    connect(main.SpeedButton1, &QToolButton::clicked, this, [this] {
        m_main->hide();
        m_station->show();
        m_station->raise();
        m_station->activateWindow();
    });
    connect(main.Accesficheinfos1, &QAction::triggered, this, [this] {
        m_station->show();
        m_station->raise();
        m_station->activateWindow();
    });
    connect(main.BitBtn_quit, &QPushButton::clicked, this, [this] {
        keepPlacements();
        try {
            m_app.quit();
        } catch (const AppError& e) {
            m_dialogs.error(e.message()); // the program keeps running
            return;
        }
        Q_EMIT quitRequested();
    });
    const auto reports = [this] {
        QString message;
        try {
            message = m_app.writeReports();
        } catch (const AppError& e) {
            m_dialogs.error(e.message());
            return;
        }
        m_dialogs.message(message);
    };
    connect(main.Creation1, &QAction::triggered, this, reports);
    connect(main.SpeedButton_creation_fichiers, &QToolButton::clicked, this, reports);
    connect(main.CrationADIF1, &QAction::triggered, this, [this] {
        try {
            m_app.writeAdif();
        } catch (const AppError& e) {
            m_dialogs.error(e.message());
        }
    });
    connect(main.SpeedButton_mail, &QToolButton::clicked, this, [this] {
        m_app.clock().setTickEnabled(false);
        const QString refusal = m_app.mailButtonRefusal();
        if (refusal.isEmpty()) {
            m_report->show();
            m_report->raise();
            m_report->activateWindow();
        } else {
            m_dialogs.message(refusal);
        }
        m_app.clock().setTickEnabled(true);
    });
    connect(main.SpeedButton_help, &QToolButton::clicked, this,
            [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(m_app.helpFilePath())); });
}

} // namespace vu
