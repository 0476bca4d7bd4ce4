#pragma once

#include "ui/window_activation.h"

#include <QObject>
#include <QTranslator>
#include <memory>

namespace vu {

class Application;
struct ScreenLayout;
class Dialogs;
class ExamplesWindow;
class FileNamingWindow;
class MainWindow;
class RadioWindow;
class ReportWindow;
class StationWindow;

// The program's windows and the road between them: station window, file naming, main window,
// and back. Applies and keeps the window placements of the settings file.
class ProgramWindows : public QObject {
    Q_OBJECT
public:
    ProgramWindows(Application& app, Dialogs& dialogs);
    ~ProgramWindows() override;

    // Shows the first window, the station window.
    void start();

    [[nodiscard]] StationWindow& station() { return *m_station; }
    [[nodiscard]] FileNamingWindow& fileNaming() { return *m_fileNaming; }
    [[nodiscard]] MainWindow& main() { return *m_main; }
    [[nodiscard]] ExamplesWindow& examples() { return *m_examples; }
    [[nodiscard]] ReportWindow& report() { return *m_report; }
    [[nodiscard]] RadioWindow& radio() { return *m_radio; }

    // The windows' activation rules.
    [[nodiscard]] WindowActivation& activation() { return m_activation; }

    // Takes the windows' places and sizes into a layout.
    void keepPlacements(ScreenLayout& layout) const;

Q_SIGNALS:
    // The program is to end: "Quitter" did its work, or a window that ends it was closed.
    void quitRequested();

private:
    void applyPlacements();
    void applyTexts();

    Application& m_app;
    Dialogs& m_dialogs;
    WindowActivation m_activation;
    QTranslator m_qtTranslator;
    std::unique_ptr<StationWindow> m_station;
    std::unique_ptr<FileNamingWindow> m_fileNaming;
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<ExamplesWindow> m_examples;
    std::unique_ptr<ReportWindow> m_report;
    std::unique_ptr<RadioWindow> m_radio;
};

} // namespace vu
