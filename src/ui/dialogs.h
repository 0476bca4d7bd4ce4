#pragma once

#include "platform/errors.h"

#include <QString>

class QWidget;

namespace vu {

// Every message box, question and file or folder dialog of the program goes through here, so
// that window tests can answer them without a modal loop.
class Dialogs {
public:
    enum class Icon { Information, Question, Warning, Error };

    virtual ~Dialogs() = default;
    // A message box with an OK button.
    virtual void message(const QString& text, Icon icon = Icon::Information) = 0;
    // A Yes/No question; true for Yes. Empty button texts keep the standard ones.
    [[nodiscard]] virtual bool ask(const QString& text, Icon icon, const QString& yesText = {},
                                   const QString& noText = {}) = 0;
    // A file to open; empty when cancelled.
    [[nodiscard]] virtual QString openFile(const QString& startFolder, const QString& filter,
                                           bool mustExist) = 0;
    // A folder (which the dialog may create); empty when cancelled.
    [[nodiscard]] virtual QString chooseFolder(const QString& startFolder) = 0;
    // The application's standard error display: what escapes a handler.
    virtual void error(const QString& text) = 0;
};

// Runs a window's handler: an error that escapes it is shown by the standard error display,
// after `render` has shown the state the handler left; `render` runs in either case.
template <typename Handler, typename Render>
void runHandler(Dialogs& dialogs, Handler&& handler, Render&& render) {
    try {
        handler();
    } catch (const AppError& e) {
        render();
        dialogs.error(e.message());
    }
    render();
}

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

private:
    QWidget* m_parent;
};

} // namespace vu
