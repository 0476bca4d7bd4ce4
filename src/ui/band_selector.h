#pragma once

#include <QWidget>

namespace vu {

// The band selector: one row of five cells "80" to "10", the selected one red with white text.
class BandSelector : public QWidget {
    Q_OBJECT
public:
    explicit BandSelector(QWidget* parent = nullptr);

    [[nodiscard]] int selected() const { return m_selected; }
    // Marks a column as selected without telling anyone (the core already knows).
    void setSelected(int column);
    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QRect cellRect(int column) const;

Q_SIGNALS:
    // A cell became current under the mouse.
    void bandClicked(int column);
    // The mouse button was released over the selector.
    void released();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int m_selected = 1;
};

} // namespace vu
