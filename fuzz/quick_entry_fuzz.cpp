// Any text typed into the quick-entry field parses without a fault, to a known code, and no
// control character reaches a field of the record.
#include "contest_log/quick_entry.h"
#include "platform/cp1252.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = vu::fromCp1252(QByteArrayView(data, static_cast<qsizetype>(size)));
    const vu::QuickEntry e = vu::parseQuickEntry(text);
    if (e.error != 0 && e.error != 22 && e.error != 23 && e.error != 32 && e.error != 33) {
        std::abort();
    }
    for (const QString& field : {e.call, e.rstSent, e.rstRcvd}) {
        for (const QChar c : field) {
            if (c.unicode() < 0x20) {
                std::abort();
            }
        }
    }
    (void)vu::numericValue(
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    return 0;
}
