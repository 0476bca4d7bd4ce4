// VARURAV_UDA: the contest logger's window program.
#include "platform/instance_lock.h"
#include "platform/program_folder.h"
#include "ui/dialogs.h"
#include "ui/program_start.h"
#include "ui/wait_notice.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VARURAV_UDA"));

    vu::InstanceLock lock(vu::InstanceLock::defaultPath());
    if (!lock.tryLock()) {
        std::fprintf(stderr, "%s\n", qPrintable(vu::InstanceLock::alreadyRunningText()));
        QMessageBox::information(nullptr, QStringLiteral("VARURAV_UDA"),
                                 vu::InstanceLock::alreadyRunningText());
        return 0;
    }

    vu::QtDialogs dialogs;
    vu::ApplicationOptions options;
    options.programFolder = vu::defaultProgramFolder();
    options.askYesNo = [&dialogs](const QString& question) {
        return dialogs.ask(question, vu::Dialogs::Icon::Question, QStringLiteral("&Oui"),
                           QStringLiteral("&Non"));
    };
    vu::WaitNotice waitNotice;
    const vu::StartedProgram program(options, dialogs,
                                     [&waitNotice](bool shown) { waitNotice.set(shown); });
    return QApplication::exec();
}
