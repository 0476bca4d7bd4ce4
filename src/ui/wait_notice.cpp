#include "ui/wait_notice.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

namespace vu {

WaitNotice::WaitNotice() = default;

WaitNotice::~WaitNotice() = default;

void WaitNotice::set(bool shown) {
    if (!shown) {
        m_widget.reset();
        return;
    }
    m_widget =
        std::make_unique<QWidget>(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint |
                                               Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    m_widget->setWindowTitle(title());
    QPalette red = m_widget->palette();
    red.setColor(QPalette::Window, Qt::red);
    m_widget->setPalette(red);
    m_widget->setAutoFillBackground(true);
    auto* body = new QLabel(QString(55, u' '), m_widget.get());
    auto* layout = new QVBoxLayout(m_widget.get());
    layout->addWidget(body);
    m_widget->resize(350, 35);
    QApplication::processEvents(); // pending messages once, then the notice
    m_widget->show();
    QApplication::processEvents();
}

} // namespace vu
