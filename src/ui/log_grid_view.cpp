#include "ui/log_grid_view.h"

#include <QMouseEvent>

namespace vu {

void LogGridView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept(); // the context menu event follows; the current cell stays
        return;
    }
    byOperator([&] { QTableView::mousePressEvent(event); });
}

void LogGridView::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::RightButton) {
        event->accept();
        return;
    }
    byOperator([&] { QTableView::mouseMoveEvent(event); });
}

void LogGridView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    byOperator([&] { QTableView::mouseDoubleClickEvent(event); });
}

void LogGridView::keyPressEvent(QKeyEvent* event) {
    byOperator([&] { QTableView::keyPressEvent(event); });
}

} // namespace vu
