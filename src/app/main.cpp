// VARURAV_UDA: the contest logger's window program.
#include "app/application.h"
#include "platform/program_folder.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VARURAV_UDA"));
    const QString programFolder = vu::resolveProgramFolder(
        vu::executableFolder(), QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    vu::Application app({programFolder, nullptr, true});
    app.startUp();
    vu::MainWindow window(app);
    window.show();
    return QApplication::exec();
}
