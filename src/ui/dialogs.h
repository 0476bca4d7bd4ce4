#pragma once

#include "platform/errors.h"

#include <QString>
#include <cerrno>
#include <functional>
#include <new>
#include <optional>
#include <vector>

class QWidget;

namespace vu {

// The texts of the standard buttons in the interface language.
struct ButtonTexts {
    QString ok = QStringLiteral("OK");
    QString yes = QStringLiteral("&Oui");
    QString no = QStringLiteral("&Non");
    QString cancel = QStringLiteral("Annuler");
};

// Every message box, question and file or folder dialog of the program goes through here, so
// that window tests can answer them without a modal loop. It also knows whether a handler of the
// program is running: activation work and timer work wait until none is, so that neither runs
// inside a half-done command (nor inside the nested event loop of a box that command opened).
class Dialogs {
public:
    enum class Icon { Information, Question, Warning, Error };

    virtual ~Dialogs() = default;
    // A message box with an OK button.
    virtual void message(const QString& text, Icon icon = Icon::Information) = 0;
    // A Yes/No question; true for Yes. Empty button texts keep the language's ones.
    [[nodiscard]] virtual bool ask(const QString& text, Icon icon, const QString& yesText = {},
                                   const QString& noText = {}) = 0;
    // A file to open; empty when cancelled.
    [[nodiscard]] virtual QString openFile(const QString& startFolder, const QString& filter,
                                           bool mustExist) = 0;
    // A folder (which the dialog may create); empty when cancelled.
    [[nodiscard]] virtual QString chooseFolder(const QString& startFolder) = 0;
    // The application's standard error display: what escapes a handler.
    virtual void error(const QString& text) = 0;
    // A password, typed hidden; nothing when cancelled.
    [[nodiscard]] virtual std::optional<QString> askPassword(const QString& text) = 0;

    // The standard buttons' texts of the interface language.
    void setButtonTexts(const ButtonTexts& texts) { m_buttons = texts; }
    [[nodiscard]] const ButtonTexts& buttonTexts() const { return m_buttons; }

    // The window boxes belong to (they stay above it and give it the keyboard back when they
    // close): the window the operator works in, asked for at each box.
    void setOwnerWindow(std::function<QWidget*()> owner) { m_owner = std::move(owner); }
    [[nodiscard]] QWidget* ownerWindow() const { return m_owner ? m_owner() : nullptr; }

    // Whether a handler is running.
    [[nodiscard]] bool busy() const { return m_depth > 0; }
    // Runs `work` once no handler is running: at once when none is, else as soon as the
    // outermost one has ended.
    void whenIdle(std::function<void()> work);

    // Marks a running handler for as long as it lives.
    class Running {
    public:
        explicit Running(Dialogs& dialogs) : m_dialogs(dialogs) { ++m_dialogs.m_depth; }
        ~Running();
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;

    private:
        Dialogs& m_dialogs;
    };

private:
    ButtonTexts m_buttons;
    std::function<QWidget*()> m_owner;
    int m_depth = 0;
    std::vector<std::function<void()>> m_idleWork;
};

// Runs a window's handler: an error that escapes it is shown by the standard error display,
// after `render` has shown the state the handler left; `render` runs once in either case.
template <typename Handler, typename Render>
void runHandler(Dialogs& dialogs, Handler&& handler, Render&& render) {
    const Dialogs::Running running(dialogs);
    try {
        handler();
    } catch (const AppError& e) {
        render();
        dialogs.error(e.message());
        return;
    } catch (const std::bad_alloc&) {
        render(); // the command stopped; the program goes on
        dialogs.error(IoError::textFor(ENOMEM));
        return;
    }
    render();
}

// Runs a handler that has nothing to render.
template <typename Handler>
void runHandler(Dialogs& dialogs, Handler&& handler) {
    runHandler(dialogs, std::forward<Handler>(handler), [] {});
}

// What kind of box a top-level window of the program is, for the activation rules: closing a
// message or question box over the main window, or the folder dialog over the file naming
// window, activates it again; the error display and the file-open dialog do not.
enum class BoxKind { Other, Message, Folder };
inline constexpr char kBoxKindProperty[] = "vu_box_kind";

// The real dialogs, modal over `parent`.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    void message(const QString& text, Icon icon) override;
    [[nodiscard]] bool ask(const QString& text, Icon icon, const QString& yesText,
                           const QString& noText) override;
    [[nodiscard]] QString openFile(const QString& startFolder, const QString& filter,
                                   bool mustExist) override;
    [[nodiscard]] QString chooseFolder(const QString& startFolder) override;
    void error(const QString& text) override;
    [[nodiscard]] std::optional<QString> askPassword(const QString& text) override;

private:
    // The owner window when there is one on screen, else the parent given.
    [[nodiscard]] QWidget* boxParent() const;

    QWidget* m_parent;
};

} // namespace vu
