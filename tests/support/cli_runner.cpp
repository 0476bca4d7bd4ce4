#include "support/cli_runner.h"

#include <QProcess>

namespace vu::test {

CliResult runCli(const QStringList& args, const QByteArray& input) {
#ifdef VARURAV_CLI_PATH
    QProcess process;
    process.start(QStringLiteral(VARURAV_CLI_PATH), args);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(120000)) {
        process.kill();
        return {};
    }
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
#else
    (void)args;
    (void)input;
    return {};
#endif
}

} // namespace vu::test
