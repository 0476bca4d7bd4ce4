#include "ui/log_grid_view.h"

#include <QMouseEvent>

namespace vu {

void LogGridView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        // The line clicked becomes the current one, which the pop-up menu that follows acts on.
        // No message of the time column: the cell is not being edited.
        const QModelIndex at = indexAt(event->position().toPoint());
        if (at.isValid() && at != currentIndex()) {
            setCurrentIndex(at);
        }
        event->accept();
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
