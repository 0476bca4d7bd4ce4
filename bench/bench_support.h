#pragma once

#include "contest_log/contest_file.h"

#include <QByteArray>
#include <QString>

namespace vu::bench {

// A contest file image of `lines` line records (header first), bands and times varying.
[[nodiscard]] QByteArray syntheticLog(int lines);

// Lays a program folder: the real country file and roster, and "Files/LOG.QRP" holding
// `lines` QSOs. Aborts when the log cannot be written.
void layProgramFolder(const QString& program, int lines);

} // namespace vu::bench
