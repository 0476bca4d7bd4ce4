#pragma once

#include <QString>
#include <array>
#include <vector>

namespace vu {

class ContestClock;
class FileNamingForm;
class LanguageTexts;
class LogTable;
class StationForm;
struct StationSettings;

// The five windows whose placement the settings file keeps, numbered 1 to 5 in the file.
enum class AppWindow { Main = 0, Station, FileNaming, Examples, ReportMail };
constexpr int kAppWindows = 5;

// A window's outer size and position in screen pixels.
struct WindowPlacement {
    int width = 750;
    int top = 240;
    int left = 375;
    int height = 535;
    bool operator==(const WindowPlacement&) const = default;
};

// Where the windows and the log grid's columns were left; the windows apply these values.
struct ScreenLayout {
    static constexpr int kDefaultColumnWidth = 80;

    std::array<WindowPlacement, kAppWindows> windows = {WindowPlacement{950, 240, 510, 600},
                                                        WindowPlacement{}, WindowPlacement{},
                                                        WindowPlacement{}, WindowPlacement{}};
    std::vector<int> columnWidths; // pixel width of each column of the log grid

    [[nodiscard]] WindowPlacement& window(AppWindow w) { return windows.at(static_cast<int>(w)); }
    [[nodiscard]] const WindowPlacement& window(AppWindow w) const {
        return windows.at(static_cast<int>(w));
    }
    // Width of a column; the default for a column never given one.
    [[nodiscard]] int columnWidth(int column) const;
};

// Everything the settings file fills when loaded and reads when saved.
struct SettingsTargets {
    ScreenLayout& layout;
    StationSettings& station;
    StationForm& stationForm;
    FileNamingForm& fileNaming;
    LogTable& table;
    LanguageTexts& texts;
    ContestClock& clock;
};

// The settings file "Varurav_UDA.ini" of the program folder: what the program remembers
// between runs.
class SettingsFile {
public:
    // The most columns a stored grid layout may ask for.
    static constexpr int kMaxColumns = 255;

    SettingsFile(QString programFolder, SettingsTargets targets);

    [[nodiscard]] QString path() const;
    // Applies the file to the windows' models, the station settings and the log grid, then
    // loads the language. A value that fails to apply (an unreadable SMTP list, say) does not
    // stop the rest: the first error is raised once everything else is applied.
    void load();
    // Writes every value back, keeping the file's other lines; `version` goes into the header.
    // Throws AppError "Impossible d'écrire dans <path>" when the file cannot be written.
    void save(const QString& version) const;
    // Reads the language file of the station's language index into the texts and grid titles.
    void loadLanguage();

private:
    QString m_programFolder;
    SettingsTargets m_t;
};

} // namespace vu
