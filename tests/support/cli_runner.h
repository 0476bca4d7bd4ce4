#pragma once

#include <QString>
#include <QStringList>

namespace vu::test {

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs varurav-uda-cli with the arguments, `input` on its standard input, and waits for it.
[[nodiscard]] CliResult runCli(const QStringList& args, const QByteArray& input = {});

} // namespace vu::test
