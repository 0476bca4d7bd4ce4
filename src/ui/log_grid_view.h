#pragma once

#include <QTableView>

namespace vu {

// The log grid's view. It tells a current cell the operator chose (a click, a key) from one the
// program set (a reload, a renumbering); a right-click makes the clicked cell current, so the
// pop-up menu acts on the line clicked.
class LogGridView : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;

    // Whether the current cell is being moved by the operator's mouse or keyboard right now.
    [[nodiscard]] bool operatorMoving() const { return m_operatorMoving > 0; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    template <typename Base>
    void byOperator(Base&& base) {
        ++m_operatorMoving;
        base();
        --m_operatorMoving;
    }

    int m_operatorMoving = 0;
};

} // namespace vu
