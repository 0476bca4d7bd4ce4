#include "ui/program_windows.h"

#include "app/application.h"
#include "platform/errors.h"
#include "ui/dialogs.h"
#include "ui/examples_window.h"
#include "ui/file_naming_window.h"
#include "ui/main_window.h"
#include "ui/radio_window.h"
#include "ui/report_window.h"
#include "ui/screen_fit.h"
#include "ui/station_window.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <algorithm>

namespace vu {

namespace {

WindowPlacement placementOf(const QWidget* window) {
    return {window->width(), window->y(), window->x(), window->height()};
}

} // namespace

ProgramWindows::ProgramWindows(Application& app, Dialogs& dialogs)
    : m_app(app), m_dialogs(dialogs), m_activation(dialogs) {
    m_station = std::make_unique<StationWindow>(app, dialogs);
    m_fileNaming = std::make_unique<FileNamingWindow>(app, dialogs);
    m_main = std::make_unique<MainWindow>(app.session(), app.texts(),
                                          MainLabels{app.stationForm(), app.fileNaming()}, dialogs,
                                          &app.radio());
    m_examples = std::make_unique<ExamplesWindow>();
    m_report = std::make_unique<ReportWindow>(app.session(), app.stationForm(), dialogs);
    m_radio = std::make_unique<RadioWindow>(app.radio(), app.texts(), dialogs);
    applyPlacements();
    applyTexts();
    m_app.texts().setOnChange([this] { applyTexts(); });
    m_app.setLayoutSource([this](ScreenLayout& layout) { keepPlacements(layout); });

    m_dialogs.setOwnerWindow([this] { return m_activation.current(); });
    m_activation.addWindow(m_station.get(), [this] { m_station->FormActivate(); });
    m_activation.addWindow(m_fileNaming.get(), [this] { m_fileNaming->FormActivate(); },
                           {BoxKind::Folder});
    m_activation.addWindow(m_main.get(), [this] { m_main->FormActivate(); }, {BoxKind::Message});
    m_activation.addWindow(m_examples.get(), {});
    m_activation.addWindow(m_report.get(), [this] { m_report->FormActivate(); });
    m_activation.addWindow(m_radio.get(), [this] { m_radio->render(); });

    connect(m_station.get(), &StationWindow::accepted, this,
            [this] { m_activation.bringForward(m_fileNaming.get()); });
    connect(m_station.get(), &StationWindow::cancelled, this, &ProgramWindows::quitRequested);
    connect(m_station.get(), &StationWindow::returned, this,
            [this] { m_activation.bringForward(m_main.get()); });
    connect(m_main.get(), &MainWindow::closed, this, &ProgramWindows::quitRequested);
    connect(m_station.get(), &StationWindow::stationChanged, m_main.get(), &MainWindow::render);
    connect(m_fileNaming.get(), &FileNamingWindow::confirmed, this,
            [this] { m_activation.bringForward(m_main.get()); });
    connect(m_main.get(), &MainWindow::examplesWanted, this,
            [this] { m_activation.bringForward(m_examples.get()); });
    connect(m_main.get(), &MainWindow::quitDone, this, &ProgramWindows::quitRequested);
    connect(m_main.get(), &MainWindow::stationWanted, this,
            [this] { m_activation.bringForward(m_station.get()); });
    connect(m_main.get(), &MainWindow::reportMailWanted, this,
            [this] { m_activation.bringForward(m_report.get()); });
    connect(m_main.get(), &MainWindow::logOpened, m_fileNaming.get(), &FileNamingWindow::render);
    connect(m_main.get(), &MainWindow::languageChosen, this, [this](int index) {
        runHandler(
            m_dialogs, [this, index] { m_app.chooseLanguage(index); },
            [this] { m_main->render(); });
    });
    connect(m_main->Radio1, &QAction::triggered, this,
            [this] { m_activation.bringForward(m_radio.get()); });
    connect(m_radio.get(), &RadioWindow::closedByButton, this, [this] {
        m_activation.bringForward(m_main.get());
        m_main->render();
    });
    // The radio set up in an earlier run starts with the windows; without one nothing starts.
    m_app.radio().start();
}

ProgramWindows::~ProgramWindows() {
    m_dialogs.setOwnerWindow({});
    m_app.texts().setOnChange({});
    m_app.setLayoutSource({});
}

void ProgramWindows::start() {
    m_station->render();
    m_activation.bringForward(m_station.get());
}

void ProgramWindows::applyPlacements() {
    const ScreenLayout& layout = m_app.layout();
    placeInsideScreen(m_main.get(), layout.window(AppWindow::Main));
    placeInsideScreen(m_station.get(), layout.window(AppWindow::Station));
    placeInsideScreen(m_fileNaming.get(), layout.window(AppWindow::FileNaming));
    placeInsideScreen(m_examples.get(), layout.window(AppWindow::Examples));
    placeInsideScreen(m_report.get(), layout.window(AppWindow::ReportMail));
    placeInsideScreen(m_radio.get(), WindowPlacement{}); // where the program's windows open
    QHeaderView* header = m_main->Grille_log->horizontalHeader();
    bool untouched = true;
    for (int c = 0; c < m_app.session().table().columnCount(); ++c) {
        header->resizeSection(c, layout.columnWidth(c));
        untouched = untouched && layout.columnWidth(c) == ScreenLayout::kDefaultColumnWidth;
    }
    // Widths nobody set (every column at the default) would cut the dupe column off a laptop's
    // screen: they fit the grid's texts instead.
    if (untouched) {
        m_main->fitColumnsToContents();
    }
}

void ProgramWindows::keepPlacements(ScreenLayout& layout) const {
    layout.window(AppWindow::Main) = placementOf(m_main.get());
    layout.window(AppWindow::Station) = placementOf(m_station.get());
    layout.window(AppWindow::FileNaming) = placementOf(m_fileNaming.get());
    layout.window(AppWindow::Examples) = placementOf(m_examples.get());
    layout.window(AppWindow::ReportMail) = placementOf(m_report.get());
    const QHeaderView* header = m_main->Grille_log->horizontalHeader();
    layout.columnWidths.clear();
    for (int c = 0; c < m_app.session().table().columnCount(); ++c) {
        layout.columnWidths.push_back(header->sectionSize(c));
    }
}

void ProgramWindows::applyTexts() {
    m_main->applyTexts();
    m_station->applyTexts();
    m_fileNaming->applyTexts();
    m_radio->applyTexts();
    const LanguageTexts& texts = m_app.texts();
    if (texts.isLoaded()) {
        m_examples->setTexts(texts.caption(Form::Examples, u"Label_comment_saisie"),
                             {texts.examplesTitle(0), texts.examplesTitle(2),
                              texts.examplesTitle(3), texts.examplesTitle(4),
                              texts.examplesTitle(5)},
                             texts.windowTitle(Form::Examples));
    }
    // Every box speaks the interface language: the program's own boxes take the language
    // file's button texts, and Qt's dialogs (file and folder choice) its translation.
    m_dialogs.setButtonTexts(
        {texts.message(MessageText::ButtonOk), texts.message(MessageText::ButtonYes),
         texts.message(MessageText::ButtonNo), texts.message(MessageText::ButtonCancel)});
    m_report->setCancelText(texts.message(MessageText::ButtonCancel));
    static const char* const kQtLanguages[] = {"fr", "en", "es", "it"};
    const int index = std::clamp(m_app.station().language, 1, 4);
    QCoreApplication::removeTranslator(&m_qtTranslator);
    if (m_qtTranslator.load(QStringLiteral("qtbase_") + QLatin1String(kQtLanguages[index - 1]),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&m_qtTranslator);
    }
}

} // namespace vu
