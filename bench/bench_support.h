#pragma once

#include "contest_log/contest_file.h"

#include <QByteArray>

namespace vu::bench {

// A contest file image of `lines` line records (header first), bands and times varying.
[[nodiscard]] QByteArray syntheticLog(int lines);

} // namespace vu::bench
