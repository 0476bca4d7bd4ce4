#include "ui/program_start.h"

#include "platform/errors.h"
#include "ui/dialogs.h"

#include <QApplication>

namespace vu {

StartedProgram::StartedProgram(ApplicationOptions options, Dialogs& dialogs,
                               std::function<void(bool shown)> waitNotice, OnQuit onQuit)
    : m_app(std::make_unique<Application>(std::move(options))) {
    m_app->setWaitNotice(std::move(waitNotice));
    try {
        m_app->startUp();
    } catch (const AppError& e) {
        dialogs.error(e.message());
    }
    m_windows = std::make_unique<ProgramWindows>(*m_app, dialogs);
    if (onQuit == OnQuit::EndEventLoop) {
        QObject::connect(m_windows.get(), &ProgramWindows::quitRequested, qApp, &QApplication::quit,
                         Qt::QueuedConnection);
    }
    m_windows->start();
}

StartedProgram::~StartedProgram() = default;

} // namespace vu
