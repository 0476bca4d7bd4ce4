// Any bytes as a country file build a country list without a fault, and callsigns look up in it;
// any bytes as a country list load and answer as well.
#include "platform/cp1252.h"
#include "scoring/country_table.h"

#include <QRegularExpression>
#include <cstdint>

namespace {

void lookUpAll(const vu::CountryIndex& index, const QString& text) {
    static const QString kCalls[] = {QStringLiteral("F5ABC"),
                                     QStringLiteral("3B8XY"),
                                     QStringLiteral("D4ERI/P"),
                                     QStringLiteral("DL/D4ERI"),
                                     QStringLiteral("1A0KM"),
                                     QStringLiteral("/P"),
                                     QString(),
                                     QStringLiteral("9"),
                                     QStringLiteral("\u00DF"),
                                     QStringLiteral("K"),
                                     QStringLiteral("3D2AG/P")};
    for (const QString& call : kCalls) {
        (void)index.lookUp(call);
        (void)index.findPrefix(call);
    }
    // The words of the input itself, so that the keys it holds are found.
    int words = 0;
    for (QStringView word : QStringView(text).tokenize(u' ', Qt::SkipEmptyParts)) {
        if (++words > 64) {
            break;
        }
        const QString call = word.left(16).toString();
        (void)index.lookUp(call);
        (void)index.findPrefix(call);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    QString text = vu::fromCp1252(bytes);
    text.replace(QRegularExpression(QStringLiteral("[\\r\\n,;:=]")), QStringLiteral(" "));

    const vu::CountryList list = vu::buildCountryListText(bytes);
    (void)vu::countryFileProblem(bytes); // the check of a downloaded country file
    vu::CountryIndex built;
    built.load(list.text);
    lookUpAll(built, text);

    vu::CountryIndex raw;
    raw.load(bytes);
    lookUpAll(raw, text);
    return 0;
}
