#pragma once

#include <QObject>
#include <functional>

namespace vu {

// Runs a window's activation handler each time the window becomes the active window, once the
// handler that was running then has finished (a question box closing over a command must not
// reload the log under that command).
class ActivationWatcher : public QObject {
public:
    ActivationWatcher(QWidget* window, std::function<void()> onActivate);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_onActivate;
    bool m_queued = false;
};

} // namespace vu
