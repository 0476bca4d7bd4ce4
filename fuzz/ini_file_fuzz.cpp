// Any bytes as an INI file read without a fault; a value written reads back, before and after a
// save.
#include "platform/ini_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

namespace {

void writeBytes(const QString& path, const uint8_t* data, size_t size) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::abort();
    }
    file.write(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Fuzz.ini"));
    writeBytes(path, data, size);

    vu::IniFile ini(path);
    // Every section and key the file seems to hold, read as text and as a number.
    QString section;
    for (const QString& line : ini.lines()) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(u'[')) {
            section = trimmed.mid(1).section(u']', 0, 0);
        } else if (trimmed.contains(u'=')) {
            const QString key = trimmed.section(u'=', 0, 0);
            (void)ini.readString(section, key, QStringLiteral("default"));
            (void)ini.readInteger(section, key, -1);
        }
    }
    int value = 0;
    (void)vu::IniFile::parseInteger(ini.readString(QStringLiteral("Main"), QStringLiteral("x")),
                                    value);

    const QString section1 = QStringLiteral("Fuzz");
    const QString key1 = QStringLiteral("Key");
    ini.writeString(section1, key1, QStringLiteral("value 1"));
    ini.writeInteger(section, QStringLiteral("Number"), 42);
    check(ini.readString(section1, key1) == QStringLiteral("value 1"));
    ini.save();

    const vu::IniFile again(path);
    check(again.readString(section1, key1) == QStringLiteral("value 1"));
    return 0;
}
