// Any bytes as a roster file load (and pass or fail the download check) without a fault, and
// callsigns look up in it.
#include "platform/cp1252.h"
#include "scoring/member_roster.h"

#include <QRegularExpression>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    vu::RosterIndex roster;
    roster.load(bytes);
    (void)vu::rosterBodyProblem(bytes); // the check of a downloaded roster

    QString text = vu::fromCp1252(bytes);
    text.replace(QRegularExpression(QStringLiteral("[\\r\\n,;]")), QStringLiteral(" "));
    QStringList calls = {QStringLiteral("D4ERI"),
                         QStringLiteral("DL/D4ERI/P"),
                         QStringLiteral("/"),
                         QStringLiteral("/QRP"),
                         QString(),
                         QStringLiteral("F/N1ABC")};
    int words = 0;
    for (QStringView word : QStringView(text).tokenize(u' ', Qt::SkipEmptyParts)) {
        if (++words > 64) {
            break;
        }
        calls.append(word.left(16).toString());
    }
    for (const QString& call : calls) {
        (void)roster.find(call);
        (void)roster.find(vu::baseCallsign(call).toUpper());
    }
    return 0;
}
