// Any bytes as a language file load without a fault and give a text for every control.
#include "contest_log/log_table.h"
#include "setup/languages.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("F_FUZZ.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::abort();
        }
        file.write(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    }
    vu::LanguageTexts texts;
    vu::LogTable table;
    texts.load(path, table);
    for (const vu::LanguageKey& key : vu::languageKeys()) {
        if (key.control != nullptr) {
            (void)texts.caption(key.form, QString::fromLatin1(key.control));
            (void)texts.hint(key.form, QString::fromLatin1(key.control));
        }
        (void)texts.windowTitle(key.form);
    }
    for (int column = 0; column < 6; ++column) {
        (void)texts.examplesTitle(column);
    }
    for (int column = 0; column < table.columnCount(); ++column) {
        (void)table.cell(column, 0);
    }
    return 0;
}
