#include "platform/errors.h"
#include "scoring/country_table.h"
#include "support/https_server.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace vu {
namespace {

const QByteArray kHeader = "#\r\n# RELEASE test\r\n# based on test\r\n#\r\n";

QStringList listLines(const QByteArray& text) {
    QStringList lines = QString::fromLatin1(text).split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.constLast().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

// A program folder holding the given country file.
class CountryFolder {
public:
    explicit CountryFolder(const std::optional<QByteArray>& countryFile = std::nullopt,
                           const QString& name = "cty_wt.dat") {
        EXPECT_TRUE(m_dir.isValid());
        if (countryFile) {
            test::writeFile(m_dir.filePath(name), *countryFile);
        }
    }
    [[nodiscard]] QString path() const { return m_dir.path(); }
    [[nodiscard]] QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

TEST(CountryList, CutsRecordsIntoOneLinePerAliasPrefix) {
    const QByteArray file = kHeader +
                            "# ADIF 291\r\n"
                            "United States:  05:  08:  NA:  37.53:  91.67:  5.0:  K:\r\n"
                            "    AA,K(4)[7],VE(14),\r\n"
                            "    =D4ERI,N;\r\n"
                            "# ADIF 1\r\n"
                            "Canada:  05:  09:  NA:  44.35:  78.75:  5.0:  VE:\r\n"
                            "    VE,VO;\r\n"
                            "# ADIF 390\r\n"
                            "Asiatic Turkey:  20:  39:  AS:  39.18:  -35.65:  -2.0:  *TA1:\r\n"
                            "    ;\r\n"
                            "trailing text with no end";
    for (const QByteArray& variant : {file, test::withLf(file)}) {
        const CountryList list = buildCountryListText(variant);
        EXPECT_EQ(listLines(list.text), (QStringList{
                                            "AA,United States,K,NA,291",
                                            "K,United States,K,NA,291",
                                            "VE,United States,K,NA,291",
                                            "N,United States,K,NA,291",
                                            "VE,Canada,VE,NA,1",
                                            "VO,Canada,VE,NA,1",
                                            "TA1,Asiatic Turkey,TA1,AS,390",
                                        }));
        EXPECT_EQ(list.dxccPrefixes, (QStringList{"K", "VE", "TA1"}));
        EXPECT_TRUE(list.text.endsWith("\r\n"));
    }
}

TEST(CountryList, AliasItemRules) {
    struct Case {
        QByteArray item;
        QString key; // empty: no line
    };
    const Case cases[] = {
        {"K(4)[7]", "K"}, {"VE(14)", "VE"},  {"W[6]", "W"},      {"AB(5)[12]", "AB"},
        {"=D4ERI", ""},   {"=D4ERI(4)", ""}, {"  3B6  ", "3B6"}, {"XY<1/2>", "XY<1/2>"},
        {"", "XP"},       {"(4)", "XP"},     {"Q)R(1", "QR"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item.toStdString());
        const QByteArray file = kHeader +
                                "# ADIF 7\r\nSomewhere:  1:  2:  EU:  0:  0:  0:  XP:\r\n    " +
                                c.item + ";\r\n";
        const QStringList lines = listLines(buildCountryListText(file).text);
        if (c.key.isEmpty()) {
            EXPECT_TRUE(lines.isEmpty());
        } else {
            EXPECT_EQ(lines, QStringList{c.key + ",Somewhere,XP,EU,7"});
        }
    }
}

TEST(CountryList, TheRealFileGivesItsKnownCounts) {
    const CountryList list = buildCountryListText(test::readFile(test::fixture("cty_wt.dat")));
    const QStringList lines = listLines(list.text);
    EXPECT_EQ(lines.size(), 7196);
    EXPECT_EQ(list.dxccPrefixes.size(), 323);
    EXPECT_EQ(lines.first(), "1A,Sov Mil Order of Malta,1A,EU,246");
    EXPECT_EQ(list.dxccPrefixes.first(), "1A");
    for (const QString& line : lines) {
        EXPECT_FALSE(line.endsWith(',')) << line.toStdString(); // every ADIF number is there
    }
}

// The published layout carries comment lines inside alias lists, and a file edited on Linux
// has LF line ends: both give the list of the clean CR LF file.
TEST(CountryList, CommentLinesAndLineEndsChangeNothing) {
    const QByteArray clean = buildCountryListText(test::readFile(test::fixture("cty_wt.dat"))).text;
    const QByteArray verbatim = test::readFile(test::fixture("cty_wt_verbatim.dat"));
    EXPECT_EQ(buildCountryListText(verbatim).text, clean);
    EXPECT_EQ(buildCountryListText(test::withLf(verbatim)).text, clean);
    EXPECT_EQ(buildCountryListText(test::withLf(test::readFile(test::fixture("cty_wt.dat")))).text,
              clean);

    // A comment holding the list's own separators cuts nothing either.
    const QByteArray file = kHeader + "# ADIF 4\r\n"
                                      "# a comment: before the entity line\r\n"
                                      "Agalega:  39:  53:  AF:  -10.45:  -56.67:  -4.0:  3B6:\r\n"
                                      "# Agalega Islands, north; and south\r\n"
                                      "    3B6,\r\n"
                                      "  # St. Brandon: Cargados\r\n"
                                      "    3B7;\r\n";
    EXPECT_EQ(listLines(buildCountryListText(file).text),
              (QStringList{"3B6,Agalega,3B6,AF,4", "3B7,Agalega,3B6,AF,4"}));
}

TEST(CountryTable, BuildsTheListFileAndAnswersFromIt) {
    CountryFolder folder(test::readFile(test::fixture("cty_wt.dat")));
    CountryTable table(folder.path());
    EXPECT_TRUE(table.dxccPrefixes().isEmpty());
    table.buildCountryList(false);
    EXPECT_EQ(table.dxccPrefixes().size(), 323);
    EXPECT_EQ(table.countryListPath(), folder.filePath("DXCC.CSV"));
    EXPECT_EQ(test::readFile(folder.filePath("DXCC.CSV")),
              buildCountryListText(test::readFile(test::fixture("cty_wt.dat"))).text);

    struct Case {
        QString call;
        QString dxcc;
        QString continent;
        QString adif;
    };
    const Case cases[] = {
        {"D4ERI", "D4", "AF", "409"},
        {"D4ERI/P", "D4", "AF", "409"},
        {"DL/D4ERI", "DL", "EU", "230"},
        {"dl1abc", "DL", "EU", "230"},
        {"F5ABC", "F", "EU", "227"},
        {"9M2XYZ", "9M2", "AS", "299"},
        // Prefixes that P1 to P4 cannot reach: 3B8 tries 3B and 3 only.
        {"3B8CF", "3B8", "AF", "165"},
        {"3D2AB", "3D2", "OC", "176"},
        // An entity whose name holds a comma keeps its own fields.
        {"FT4JA", "FT/j", "AF", "124"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call.toStdString());
        const CountryResult& r = table.lookUpCountry(c.call);
        EXPECT_EQ(r.dxccPrefix, c.dxcc);
        EXPECT_EQ(r.continent, c.continent);
        EXPECT_EQ(r.adif, c.adif);
    }
    EXPECT_EQ(table.lookUpCountry("FT4JA").entity, "Juan de Nova, Europa");
    EXPECT_EQ(table.findPrefix("3B8"), (CountryResult{"3B8", "Mauritius", "3B8", "AF", "165"}));
    EXPECT_FALSE(table.findPrefix("3B").found());
    EXPECT_FALSE(table.findPrefix("dl").found()); // keys are compared exactly
}

TEST(CountryTable, CandidatesAreTriedInTheirFixedOrderAndTheFirstLineWins) {
    CountryFolder folder;
    test::writeFile(folder.filePath("DXCC.CSV"), "D4E,Entity E,DE,AF,1\r\n"
                                                 "D4,Entity 4,D4X,AF,2\r\n"
                                                 "D,Entity D,DX,EU,3\r\n"
                                                 "D,Second D,DY,EU,4\r\n"
                                                 "no comma on this line\r\n"
                                                 "VP2E,Anguilla,VP2E,NA,12\r\n"
                                                 "VP2,Wrong,VP2,NA,13\r\n"
                                                 "3B8,Mauritius,3B8,AF,165\r\n"
                                                 "3,Three,3X,AF,5\r\n"
                                                 "Q,Blank entity,,EU,6\r\n"
                                                 "4J1,Far,4J1,OC,7\r\n");
    CountryTable table(folder.path());
    struct Case {
        QString call;
        QString dxcc;
    };
    const Case cases[] = {
        {"D4ERI", "DE"},                     // P1 D4E
        {"D4ABC", "D4X"},                    // P2 D4
        {"D9ABC", "DX"},                     // P3 D, first of the two lines
        {"VP2EAB", "VP2E"}, {"3B8AB", "3X"}, // P3 "3" is found: the longest prefix is never asked
        {"4J1AB", "4J1"},                    // 4J, 4J, 4, 4 find nothing: the longest prefix does
        {"ZZ1AB", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call.toStdString());
        EXPECT_EQ(table.lookUpCountry(c.call).dxccPrefix, c.dxcc);
    }
    // P4 found a line without a DXCC prefix and nothing else matched: that line is the answer.
    EXPECT_EQ(table.lookUpCountry("Q").entity, "Blank entity");
    EXPECT_FALSE(table.lastResult().found());
}

TEST(CountryTable, NoLookupForAnEmptyCallsignOrOneBeginningWithASlash) {
    CountryFolder folder(test::readFile(test::fixture("cty_wt.dat")));
    CountryTable table(folder.path());
    table.buildCountryList(false);
    ASSERT_EQ(table.lookUpCountry("D4ERI").dxccPrefix, "D4");
    for (const QString call : {"", "/P", "/"}) {
        EXPECT_EQ(table.lookUpCountry(call).dxccPrefix, "D4");
        EXPECT_FALSE(table.index().lookUp(call).has_value());
    }
}

TEST(CountryTable, ListChangesOnDiskAreSeenAtTheNextLookup) {
    CountryFolder folder(test::readFile(test::fixture("cty_wt.dat")));
    CountryTable table(folder.path());
    table.buildCountryList(false);
    ASSERT_EQ(table.lookUpCountry("F5ABC").continent, "EU");

    test::writeFile(folder.filePath("DXCC.CSV"), "F,Elsewhere,F,OC,1\r\n");
    EXPECT_EQ(table.lookUpCountry("F5ABC").continent, "OC");
    ASSERT_TRUE(QFile::remove(folder.filePath("DXCC.CSV")));
    EXPECT_FALSE(table.lookUpCountry("F5ABC").found());
    EXPECT_EQ(table.index().lineCount(), 0);

    test::writeFile(folder.filePath("DXCC.CSV"), "F,France,F,EU,227\n");
    ASSERT_TRUE(QFile::setPermissions(
        folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                           QFileDevice::ExeGroup | QFileDevice::ExeOther));
    ASSERT_TRUE(QFile::setPermissions(folder.filePath("DXCC.CSV"), QFileDevice::WriteOwner));
    {
        test::AsUnprivilegedUser unprivileged;
        EXPECT_THROW((void)table.lookUpCountry("F5ABC"), IoError);
    }
    ASSERT_TRUE(QFile::setPermissions(folder.filePath("DXCC.CSV"),
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_EQ(table.lookUpCountry("F5ABC").dxccPrefix, "F");
}

TEST(CountryTable, FileNamesAreFoundWhateverTheirCase) {
    CountryFolder folder(test::readFile(test::fixture("cty_wt.dat")), "CTY_WT.DAT");
    test::writeFile(folder.filePath("dxcc.csv"), "old\r\n");
    CountryTable table(folder.path());
    table.buildCountryList(false);
    EXPECT_EQ(table.dxccPrefixes().size(), 323);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), (QStringList{"CTY_WT.DAT", "dxcc.csv"}));
    EXPECT_EQ(table.lookUpCountry("D4ERI").dxccPrefix, "D4");
}

TEST(CountryTable, WithoutACountryFileTheOldListStaysInUse) {
    CountryFolder folder;
    test::writeFile(folder.filePath("DXCC.CSV"), "F,France,F,EU,227\r\n");
    CountryTable table(folder.path());
    table.buildCountryList(false);
    EXPECT_TRUE(table.dxccPrefixes().isEmpty());
    EXPECT_EQ(test::readFile(folder.filePath("DXCC.CSV")), "F,France,F,EU,227\r\n");
    EXPECT_EQ(table.lookUpCountry("F5ABC").dxccPrefix, "F");

    CountryTable none(CountryFolder().path());
    none.buildCountryList(false);
    EXPECT_FALSE(none.lookUpCountry("F5ABC").found());
}

TEST(CountryTable, AMissingCountryFileIsFetchedOnlyWhenAllowed) {
    test::LocalHttpsServer server;
    ASSERT_TRUE(server.start()) << server.error().toStdString();
    server.serve("/cty/cty_wt.dat", test::readFile(test::fixture("cty_wt.dat")));
    ReferenceSources sources = server.sources();

    CountryFolder offline;
    CountryTable notAllowed(offline.path());
    notAllowed.setSources(sources);
    notAllowed.buildCountryList(false);
    EXPECT_FALSE(QFileInfo::exists(offline.filePath("cty_wt.dat")));

    CountryFolder folder;
    CountryTable table(folder.path());
    table.setSources(sources);
    table.buildCountryList(true);
    EXPECT_EQ(test::readFile(folder.filePath("cty_wt.dat")),
              test::readFile(test::fixture("cty_wt.dat")));
    EXPECT_EQ(table.dxccPrefixes().size(), 323);
    EXPECT_FALSE(table.downloadCountryFile()); // present: not fetched again

    sources.countryFileServer = server.url() + "/nothing-here";
    CountryFolder failing;
    CountryTable unlucky(failing.path());
    unlucky.setSources(sources);
    unlucky.buildCountryList(true);
    EXPECT_TRUE(unlucky.dxccPrefixes().isEmpty());
    EXPECT_EQ(QDir(failing.path()).entryList(QDir::Files), QStringList{});
}

TEST(CountryTable, BadCountryFilesGiveEmptyResultsWithoutACrash) {
    const QByteArray real = test::readFile(test::fixture("cty_wt.dat"));
    const QByteArray binary = test::randomBytes(64 * 1024, 42);
    struct Case {
        const char* what;
        QByteArray file;
        bool someLines;
    };
    const Case cases[] = {
        {"empty", "", false},
        {"header only", kHeader, false},
        {"truncated", real.left(real.size() / 2), true},
        {"binary", binary, false},
        {"one very long line", QByteArray(4 * 1024 * 1024, 'A'), false},
        {"very long alias item",
         kHeader + "# ADIF 1\r\nX:  1:  2:  EU:  0:  0:  0:  XP:\r\n" + QByteArray(1 << 20, 'B') +
             ";\r\n",
         true},
        {"no semicolon", QByteArray(real).replace(';', ' '), false},
        {"no colon", QByteArray(real).replace(':', ' '), false},
    };
    for (const Case& c : cases) {
        for (const QByteArray& file : {c.file, test::withLf(c.file)}) {
            SCOPED_TRACE(c.what);
            CountryFolder folder(file);
            CountryTable table(folder.path());
            bool reported = false;
            try {
                table.buildCountryList(false);
            } catch (const AppError&) {
                reported = true; // the file gives no country, or records run into others
            }
            if (!c.someLines && QByteArrayView(c.what) != "binary") {
                EXPECT_TRUE(reported);
            }
            if (c.someLines) {
                EXPECT_GT(table.index().lineCount(), 0);
            } else if (QByteArrayView(c.what) != "binary") {
                EXPECT_EQ(table.index().lineCount(), 0);
                EXPECT_TRUE(table.dxccPrefixes().isEmpty());
            }
            for (const QString& call : QStringList{"D4ERI", "1A", "", "/", QString(100000, u'X')}) {
                (void)table.lookUpCountry(call);
            }
            if (!c.someLines && QByteArrayView(c.what) != "binary") {
                EXPECT_FALSE(table.lookUpCountry("D4ERI").found());
            }
        }
    }
}

} // namespace
} // namespace vu

namespace vu {
namespace {

// A download that is not the country file (a web page, a cut file, a tiny one) must not
// replace it.
TEST(CountryFileBody, OnlyAWholeCountryFilePasses) {
    const QByteArray file = test::readFile(test::fixture("cty_wt.dat"));
    const qsizetype lastRecord = file.lastIndexOf(';', file.size() - 4);
    struct Case {
        const char* what;
        QByteArray body;
        bool passes;
    };
    const Case cases[] = {
        {"the country file", file, true},
        {"LF line ends", test::withLf(file), true},
        {"cut inside its last record", file.left(file.size() - 10), false},
        {"cut after a record",
         file.left(file.size() / 2).left(file.left(file.size() / 2).lastIndexOf(';') + 1), false},
        {"cut just before the last ';'", file.left(lastRecord + 1) + "\r\n    ZR8", false},
        {"web page", "<html><body>Moved</body></html>\r\n", false},
        {"NUL bytes", file + QByteArray(4, '\0'), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(countryFileProblem(c.body),
                  c.passes ? QString()
                           : QStringLiteral("Le fichier reçu n'est pas une liste des pays"));
    }
}

} // namespace
} // namespace vu
