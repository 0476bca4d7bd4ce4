#pragma once

#include "app/application.h"
#include "ui/program_windows.h"

#include <memory>

namespace vu {

class Dialogs;

// The window program started: the application built and its start-up run, then the windows
// built and the first one shown. A start-up error is shown by the standard error display and the
// program goes on with what was applied, as after any failed command. Quitting ends the event
// loop. The window program, its test driver, the screenshot tool, the tests and the window
// benchmark start it so.
class StartedProgram {
public:
    enum class OnQuit {
        EndEventLoop, // the program's own: the event loop ends
        SignalOnly,   // a test that goes on after quitting: windows().quitRequested only
    };
    // `waitNotice` shows (true) and hides (false) the roster download's wait notice.
    StartedProgram(ApplicationOptions options, Dialogs& dialogs,
                   std::function<void(bool shown)> waitNotice = {},
                   OnQuit onQuit = OnQuit::EndEventLoop);
    ~StartedProgram();

    [[nodiscard]] Application& app() { return *m_app; }
    [[nodiscard]] ProgramWindows& windows() { return *m_windows; }

private:
    std::unique_ptr<Application> m_app;
    std::unique_ptr<ProgramWindows> m_windows;
};

} // namespace vu
