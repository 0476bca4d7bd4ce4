#pragma once

#include "ui/dialogs.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

class QWindow;

namespace vu {

// The windows' activation rules. A window's activation work runs when the keyboard focus comes
// to it from another window of the program, or when the program itself brings it forward (a
// step of the road between the windows). It does not run when the operator comes back from
// another program, from a pop-up menu, or from a box, except for the boxes a window names:
// closing one of the program's message or question boxes over the main window activates it,
// and so does closing the folder dialog over the file naming window. The work never runs inside
// a running handler: it waits until that handler has ended.
class WindowActivation : public QObject {
public:
    explicit WindowActivation(Dialogs& dialogs);

    // A window of the program and its activation work (none: the window only takes the turn,
    // so that coming back from it activates the window left).
    void addWindow(QWidget* window, std::function<void()> onActivate,
                   std::vector<BoxKind> activatingBoxes = {});
    // Shows `window`, makes it the active window and runs its activation work once.
    void bringForward(QWidget* window);
    // The window that was activated last; null before the first.
    [[nodiscard]] QWidget* current() const { return m_current; }

private:
    struct Entry {
        QPointer<QWidget> window;
        std::function<void()> onActivate;
        std::vector<BoxKind> activatingBoxes;
    };

    void focusWindowChanged(QWindow* focus);
    void activate(const Entry& entry);
    Entry* entryOf(QWidget* window);

    Dialogs& m_dialogs;
    std::vector<Entry> m_windows;
    QPointer<QWidget> m_current;
    // The kind of box that had the focus last, when a box had it after the current window.
    std::optional<BoxKind> m_lastBox;
};

} // namespace vu
