#include "ui/band_selector.h"

#include "contest_log/bands.h"

#include <QMouseEvent>
#include <QPainter>

namespace vu {

namespace {
constexpr int kCellWidth = 30;
constexpr int kCellHeight = 20;
} // namespace

BandSelector::BandSelector(QWidget* parent) : QWidget(parent) {
    setFixedSize(sizeHint());
    setFocusPolicy(Qt::NoFocus);
}

void BandSelector::setSelected(int column) {
    if (column != m_selected) {
        m_selected = column;
        update();
    }
}

QSize BandSelector::sizeHint() const {
    return {5 * kCellWidth + 1, kCellHeight + 1};
}

QRect BandSelector::cellRect(int column) const {
    return {column * kCellWidth, 0, kCellWidth, kCellHeight};
}

void BandSelector::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    for (int c = 0; c < 5; ++c) {
        const QRect cell = cellRect(c);
        const bool selected = c == m_selected;
        painter.fillRect(cell, selected ? QColor(255, 0, 0) : palette().base().color());
        painter.setPen(Qt::gray);
        painter.drawRect(cell);
        painter.setPen(selected ? Qt::white : Qt::black);
        painter.drawText(cell.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         bandTexts().at(c));
    }
}

void BandSelector::mousePressEvent(QMouseEvent* event) {
    const int column = static_cast<int>(event->position().x()) / kCellWidth;
    if (column >= 0 && column < 5) {
        Q_EMIT bandClicked(column);
    }
}

void BandSelector::mouseReleaseEvent(QMouseEvent* /*event*/) {
    Q_EMIT released();
}

} // namespace vu
