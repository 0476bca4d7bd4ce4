#pragma once

#include <QMainWindow>

namespace vu {

class Application;

// The main log window.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Application& app, QWidget* parent = nullptr);

private:
    Application& m_app;
};

} // namespace vu
