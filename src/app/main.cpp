// VARURAV_UDA: the contest logger's window program.
#include "app/application.h"
#include "platform/program_folder.h"
#include "ui/main_window.h"

#include "platform/errors.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VARURAV_UDA"));
    const QString programFolder = vu::resolveProgramFolder(
        vu::executableFolder(), QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    vu::ApplicationOptions options;
    options.programFolder = programFolder;
    options.askYesNo = [](const QString& question) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Confirmation"), question);
        QPushButton* yes = box.addButton(QStringLiteral("&Oui"), QMessageBox::YesRole);
        box.addButton(QStringLiteral("&Non"), QMessageBox::NoRole);
        box.exec();
        return box.clickedButton() == yes;
    };
    vu::Application app(options);
    try {
        app.startUp();
    } catch (const vu::AppError& e) {
        // What was applied stays; the program goes on, as after any failed command.
        QMessageBox::critical(nullptr, QApplication::applicationName(), e.message());
    }
    vu::MainWindow window(app);
    window.show();
    return QApplication::exec();
}
