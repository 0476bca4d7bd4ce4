#include "ui/screen_fit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <limits>

namespace vu {

QRect fitInside(const QRect& frame, const QRect& area) {
    QRect r(frame.topLeft(),
            QSize(std::min(frame.width(), area.width()), std::min(frame.height(), area.height())));
    if (r.right() > area.right()) {
        r.moveRight(area.right());
    }
    if (r.bottom() > area.bottom()) {
        r.moveBottom(area.bottom());
    }
    if (r.left() < area.left()) {
        r.moveLeft(area.left());
    }
    if (r.top() < area.top()) {
        r.moveTop(area.top());
    }
    return r;
}

namespace {

// The screen a frame opens on: the one holding its centre, else the nearest one.
QScreen* screenFor(const QRect& frame) {
    if (QScreen* s = QGuiApplication::screenAt(frame.center())) {
        return s;
    }
    QScreen* nearest = QGuiApplication::primaryScreen();
    qint64 best = std::numeric_limits<qint64>::max();
    for (QScreen* s : QGuiApplication::screens()) {
        const QRect g = s->geometry();
        const qint64 dx =
            std::max({0, g.left() - frame.center().x(), frame.center().x() - g.right()});
        const qint64 dy =
            std::max({0, g.top() - frame.center().y(), frame.center().y() - g.bottom()});
        if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            nearest = s;
        }
    }
    return nearest;
}

} // namespace

void placeInsideScreen(QWidget* window, const WindowPlacement& placement) {
    const QMargins frame = kFrameAllowance;
    const QRect wanted(placement.left, placement.top,
                       placement.width + frame.left() + frame.right(),
                       placement.height + frame.top() + frame.bottom());
    QScreen* screen = screenFor(wanted);
    const QRect fitted =
        screen == nullptr ? wanted : fitInside(wanted, screen->availableGeometry());
    // A window larger than the area is shrunk: the log grid scrolls, the other windows' contents
    // scroll where their controls would not fit.
    window->resize(fitted.width() - frame.left() - frame.right(),
                   fitted.height() - frame.top() - frame.bottom());
    // Its frame's size as the window manager will draw it is only known once shown: moved in
    // with room for it.
    window->move(fitted.topLeft());
}

} // namespace vu
