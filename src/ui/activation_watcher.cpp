#include "ui/activation_watcher.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace vu {

ActivationWatcher::ActivationWatcher(QWidget* window, std::function<void()> onActivate)
    : QObject(window), m_onActivate(std::move(onActivate)) {
    window->installEventFilter(this);
}

bool ActivationWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !m_queued) {
        m_queued = true;
        QTimer::singleShot(0, this, [this] {
            m_queued = false;
            m_onActivate();
        });
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vu
