#pragma once

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

namespace vu::test {

// An ADI file as a reader that follows the ADIF rules sees it, written apart from the program's
// writer: a file whose first character is "<" has no header; a field is "<NAME:length>" (or
// "<NAME:length:type>") followed by that many characters; <EOH> ends the header, <EOR> a
// record, and text between fields is ignored.
struct AdifRead {
    using Fields = std::vector<std::pair<QString, QString>>; // name in capitals, value
    bool hasHeader = false;
    QString headerText; // what comes before the header's first field
    Fields header;
    std::vector<Fields> records;
    QString problem; // the first thing that does not read; empty when the file reads
};

[[nodiscard]] AdifRead readAdi(const QByteArray& bytes);

// The value of the first field of that name; empty when there is none.
[[nodiscard]] QString adifValue(const AdifRead::Fields& fields, const QString& name);

} // namespace vu::test
