#include "ui/window_activation.h"

#include <QApplication>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace vu {

WindowActivation::WindowActivation(Dialogs& dialogs) : m_dialogs(dialogs) {
    connect(qApp, &QGuiApplication::focusWindowChanged, this,
            [this](QWindow* focus) { focusWindowChanged(focus); });
}

void WindowActivation::addWindow(QWidget* window, std::function<void()> onActivate,
                                 std::vector<BoxKind> activatingBoxes) {
    m_windows.push_back({window, std::move(onActivate), std::move(activatingBoxes)});
}

WindowActivation::Entry* WindowActivation::entryOf(QWidget* window) {
    const auto it = std::find_if(m_windows.begin(), m_windows.end(),
                                 [window](const Entry& e) { return e.window == window; });
    return it == m_windows.end() ? nullptr : &*it;
}

void WindowActivation::bringForward(QWidget* window) {
    window->show();
    window->raise();
    window->activateWindow();
    if (Entry* entry = entryOf(window)) {
        m_current = window;
        m_lastBox.reset();
        activate(*entry);
    }
}

void WindowActivation::activate(const Entry& entry) {
    if (!entry.onActivate) {
        return;
    }
    m_dialogs.whenIdle([this, window = entry.window] {
        // The window may have been left again meanwhile; its work is for when it is current.
        if (window != nullptr && window == m_current && window->isVisible()) {
            if (Entry* e = entryOf(window)) {
                e->onActivate();
            }
        }
    });
}

void WindowActivation::focusWindowChanged(QWindow* focus) {
    if (focus == nullptr) {
        return; // another program has the focus; coming back from it is no activation
    }
    QWidget* widget = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->windowHandle() == focus) {
            widget = top;
            break;
        }
    }
    if (widget == nullptr) {
        return;
    }
    Entry* entry = entryOf(widget);
    if (entry == nullptr) {
        // A box, a dialog or a pop-up of the program.
        const QVariant kind = widget->property(kBoxKindProperty);
        m_lastBox = kind.isValid() ? static_cast<BoxKind>(kind.toInt()) : BoxKind::Other;
        return;
    }
    const bool fromBox = m_lastBox.has_value() &&
                         std::find(entry->activatingBoxes.begin(), entry->activatingBoxes.end(),
                                   *m_lastBox) != entry->activatingBoxes.end();
    const bool fromOtherWindow = widget != m_current;
    m_lastBox.reset();
    m_current = widget;
    if (fromOtherWindow || fromBox) {
        activate(*entry);
    }
}

} // namespace vu
