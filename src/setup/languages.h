#pragma once

#include <QHash>
#include <QString>
#include <array>
#include <functional>
#include <span>

namespace vu {

class LogTable;

// The windows whose texts a language file sets.
enum class Form { Main, Station, FileNaming, Examples, Radio };

// What a language file key sets.
enum class TextTarget { Caption, Hint, Message, WindowTitle, GridTitle, ExamplesTitle };

// The texts the language load keeps for messages: the five of the design, then the program's
// own (sections VARURAV and VARURAV_RADIO, which older language files lack: they keep the French
// defaults).
enum class MessageText {
    TpsReel,
    TpsDiffere,
    Qtr,
    FichierSauve,
    InfoManquante,
    BackupFailed,
    NoHelpViewer,
    ButtonOk,
    ButtonYes,
    ButtonNo,
    ButtonCancel,
    RadioConnecting, // section VARURAV_RADIO
    RadioLost,
    Count
};

// One key of a language file and the text it sets.
struct LanguageKey {
    const char* section;
    const char* key;
    const char* defaultText; // UTF-8
    TextTarget target;
    Form form;
    const char* control; // caption and hint targets: the control's name
    int index;           // grid columns: the column; messages: the MessageText
};

// Every key of a language file, sections and keys in the order they are read.
[[nodiscard]] std::span<const LanguageKey> languageKeys();

// Number of languages offered (1 French, 2 English, 3 Spanish, 4 Italian).
constexpr int kLanguageCount = 4;
// The language file of a language index; an index outside 1..4 gives the French file.
[[nodiscard]] QString languageFileName(int index);
// Where that file lies: the Lng folder of the program folder.
[[nodiscard]] QString languageFilePath(const QString& programFolder, int index);

// The interface texts of the current language, as the windows read them. Until the first load
// nothing is set and the windows keep their designed texts.
class LanguageTexts {
public:
    LanguageTexts();

    // Reads every key of the language file at `path` (a missing file or key gives its default),
    // keeps the texts and writes the log grid's column titles 0 to 12 into row 0 of `table`.
    void load(const QString& path, LogTable& table);

    // Whether a language has been loaded (the texts below are set).
    [[nodiscard]] bool isLoaded() const { return m_loaded; }
    // Caption of a label, button or menu item.
    [[nodiscard]] QString caption(Form form, QStringView control) const;
    // Tool-tip of a control.
    [[nodiscard]] QString hint(Form form, QStringView control) const;
    // Title of a window.
    [[nodiscard]] QString windowTitle(Form form) const;
    // Title of a column of the quick-entry examples grid (column 1 has none).
    [[nodiscard]] const QString& examplesTitle(int column) const;
    // One of the message texts; its key's default until the first load.
    [[nodiscard]] const QString& message(MessageText which) const;

    // Called after every load, so that shown windows take the new texts at once.
    void setOnChange(std::function<void()> onChange) { m_onChange = std::move(onChange); }

private:
    static QString targetKey(Form form, TextTarget target, QStringView control);

    QHash<QString, QString> m_texts;
    std::array<QString, 6> m_examplesTitles;
    std::array<QString, static_cast<int>(MessageText::Count)> m_messages;
    std::function<void()> m_onChange;
    bool m_loaded = false;
};

} // namespace vu
