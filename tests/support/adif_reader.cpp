#include "support/adif_reader.h"

#include <QList>

namespace vu::test {

AdifRead readAdi(const QByteArray& bytes) {
    AdifRead out;
    out.hasHeader = !bytes.startsWith('<');
    bool inHeader = out.hasHeader;
    AdifRead::Fields current;
    qsizetype pos = 0;
    bool first = true;
    while (true) {
        const qsizetype open = bytes.indexOf('<', pos);
        if (open < 0) {
            break;
        }
        if (first && out.hasHeader) {
            out.headerText = QString::fromLatin1(bytes.left(open));
        }
        first = false;
        const qsizetype close = bytes.indexOf('>', open);
        if (close < 0) {
            out.problem = QStringLiteral("unclosed field at %1").arg(open);
            break;
        }
        const QList<QByteArray> parts = bytes.mid(open + 1, close - open - 1).split(':');
        const QString name = QString::fromLatin1(parts[0]).toUpper();
        if (parts.size() == 1) {
            if (name == QLatin1String("EOH") && inHeader) {
                out.header = std::move(current);
                current.clear();
                inHeader = false;
            } else if (name == QLatin1String("EOR") && !inHeader) {
                out.records.push_back(std::move(current));
                current.clear();
            } else {
                out.problem = QStringLiteral("unexpected <%1>").arg(name);
                break;
            }
            pos = close + 1;
            continue;
        }
        bool ok = false;
        const qsizetype length = parts[1].toLongLong(&ok);
        if (!ok || length < 0 || close + 1 + length > bytes.size()) {
            out.problem = QStringLiteral("bad length in <%1>")
                              .arg(QString::fromLatin1(bytes.mid(open + 1, close - open - 1)));
            break;
        }
        current.emplace_back(name, QString::fromLatin1(bytes.mid(close + 1, length)));
        pos = close + 1 + length;
    }
    if (out.problem.isEmpty() && inHeader) {
        out.problem = QStringLiteral("no <EOH>");
    }
    if (out.problem.isEmpty() && !current.empty()) {
        out.problem = QStringLiteral("fields after the last <EOR>");
    }
    return out;
}

QString adifValue(const AdifRead::Fields& fields, const QString& name) {
    for (const auto& [n, v] : fields) {
        if (n == name) {
            return v;
        }
    }
    return {};
}

} // namespace vu::test
