// Any text checks as an e-mail address without a fault; an accepted address holds an at sign.
#include "platform/cp1252.h"
#include "reports/email_address.h"

#include <cstdint>
#include <cstdlib>

namespace {

void checkOne(const QString& text) {
    if (vu::isValidEmailAddress(text) && !text.contains(u'@')) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    checkOne(vu::fromCp1252(bytes));
    checkOne(QString::fromUtf8(bytes));
    return 0;
}
