// VARURAV_UDA: the contest logger's window program.
#include "app/application.h"
#include "platform/instance_lock.h"
#include "platform/program_folder.h"
#include "ui/dialogs.h"
#include "ui/main_window.h"

#include <QApplication>
#include <QMessageBox>
#include <QStandardPaths>

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VARURAV_UDA"));

    vu::InstanceLock lock(vu::InstanceLock::defaultPath());
    if (!lock.tryLock()) {
        QMessageBox::information(nullptr, QStringLiteral("VARURAV_UDA"),
                                 vu::InstanceLock::alreadyRunningText());
        return 0;
    }

    const QString programFolder = vu::resolveProgramFolder(
        vu::executableFolder(), QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    vu::Application app({programFolder, nullptr, true});
    app.startUp();
    vu::QtDialogs dialogs;
    vu::MainWindow window(app, dialogs);
    dialogs.setParent(&window);
    window.show();
    return QApplication::exec();
}
