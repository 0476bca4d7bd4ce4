#include "ui/main_window.h"

#include "app/application.h"
#include "platform/version.h"

namespace vu {

MainWindow::MainWindow(Application& app, QWidget* parent) : QMainWindow(parent), m_app(app) {
    setWindowTitle(QStringLiteral("Duruvero VED UVE, V:") + programVersion());
    resize(950, 600);
}

} // namespace vu
