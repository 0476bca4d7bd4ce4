#include "contest_log/log_format.h"
#include "contest_log/record_file.h"
#include "platform/errors.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>

namespace vu {
namespace {

TEST(RecordLayout, EveryFieldSitsAtItsOffset) {
    Record r;
    r.operatorCall = QStringLiteral("OPERATOR12");
    r.stationCall = QStringLiteral("STATION/CALL/15");
    r.date = 44228.0;        // 01/02/2021
    r.time = 872.0 / 1440.0; // 14:32
    r.band = QStringLiteral("40");
    r.call = QStringLiteral("D4ERI/P");
    r.rstSent = QStringLiteral("559");
    r.rstRcvd = QStringLiteral("579");
    r.member = QStringLiteral("1234");
    r.category = QStringLiteral("QRO");
    const QByteArray b = encodeRecord(r);
    ASSERT_EQ(b.size(), 88);

    struct Field {
        int offset;
        QByteArray bytes;
    };
    const Field fields[] = {
        {0, QByteArray("\x0A") + "OPERATOR12"},
        {11, QByteArray("\x0F") + "STATION/CALL/15"},
        {27, QByteArray(5, '\0')},
        {48, QByteArray("\x02") + "40"},
        {53, QByteArray("\x07") + "D4ERI/P"},
        {69, QByteArray("\x03") + "559"},
        {73, QByteArray("\x03") + "579"},
        {77, QByteArray("\x04") + "1234"},
        {82, QByteArray("\x03") + "QRO"},
        {87, QByteArray(1, '\0')},
    };
    for (const Field& f : fields) {
        EXPECT_EQ(b.mid(f.offset, f.bytes.size()), f.bytes) << "offset " << f.offset;
    }
    double date = 0;
    double time = 0;
    std::memcpy(&date, b.constData() + 32, 8);
    std::memcpy(&time, b.constData() + 40, 8);
    EXPECT_EQ(date, 44228.0);
    EXPECT_EQ(time, 872.0 / 1440.0);
    // Little-endian IEEE-754: 44228.0 is 0x40E5_9880_0000_0000.
    EXPECT_EQ(b.mid(32, 8), QByteArray::fromHex("000000008098e540"));
    EXPECT_EQ(decodeRecord(b.constData()), r);
}

TEST(RecordLayout, TextsAreCutToCapacityAndWrittenInWindows1252) {
    Record r;
    r.call = QStringLiteral("ABCDEFGHIJKLMNOP"); // 16 characters
    r.band = QStringLiteral("160m!");
    r.member = QStringLiteral("Zoë€x");
    const QByteArray b = encodeRecord(r);
    EXPECT_EQ(b[53], 15);
    EXPECT_EQ(b.mid(54, 15), "ABCDEFGHIJKLMNO");
    EXPECT_EQ(b.mid(48, 5), QByteArray("\x04") + "160m");
    EXPECT_EQ(b.mid(77, 5), QByteArray::fromHex("045a6feb80"));
    const Record back = decodeRecord(b.constData());
    EXPECT_EQ(back.call, QStringLiteral("ABCDEFGHIJKLMNO"));
    EXPECT_EQ(back.member, QStringLiteral("Zoë€"));
}

TEST(RecordLayout, DamagedLengthBytesReadAsTheCapacity) {
    QByteArray b(88, 'X');
    b[0] = char(200);  // operator, capacity 10
    b[53] = char(255); // callsign, capacity 15
    b[82] = char(5);   // category, capacity 4
    const Record r = decodeRecord(b.constData());
    EXPECT_EQ(r.operatorCall, QString(10, u'X'));
    EXPECT_EQ(r.call, QString(15, u'X'));
    EXPECT_EQ(r.category, QString(4, u'X'));
}

// A length byte larger than its value takes in the zeros the writer put after it.
TEST(RecordLayout, AValueEndsAtItsFirstZeroByte) {
    struct Case {
        RecordField field;
        QString Record::*value;
        QByteArray stored; // length byte and character bytes
        const char* expected;
    };
    const Case cases[] = {
        {RecordLayout::Call, &Record::call, QByteArray("\x0fOO4HEE", 7), "OO4HEE"},
        {RecordLayout::Band, &Record::band,
         QByteArray("\x04"
                    "40",
                    3),
         "40"},
        {RecordLayout::Band, &Record::band, QByteArray("\x04", 1), ""},
        {RecordLayout::Station, &Record::stationCall,
         QByteArray("\x0f\x00"
                    "D4ERI",
                    7),
         ""},
        {RecordLayout::Member, &Record::member,
         QByteArray("\x03"
                    "123",
                    4),
         "123"},
    };
    for (const Case& c : cases) {
        QByteArray b(88, '\0');
        b.replace(c.field.lengthOffset, c.stored.size(), c.stored);
        const Record r = decodeRecord(b.constData());
        EXPECT_EQ(r.*c.value, QLatin1String(c.expected)) << c.stored.toHex().constData();
    }
}

TEST(DayValues, ConvertBothWays) {
    EXPECT_EQ(dayValue(QDate(1899, 12, 30)), 0.0);
    EXPECT_EQ(dayValue(QDate(2021, 2, 1)), 44228.0);
    EXPECT_EQ(timeFraction(QTime(7, 5)), 425.0 / 1440.0);
    EXPECT_EQ(timeFraction(QTime(12, 0)), 0.5);
    EXPECT_EQ(formatLogTime(*timeOfValue(425.0 / 1440.0)), QStringLiteral("07:05"));
    EXPECT_EQ(formatLogDate(*dateOfValue(44228.0)), QStringLiteral("01/02/2021"));
    EXPECT_EQ(formatLogTime(*timeOfValue(44228.0 + 0.75)), QStringLiteral("18:00"));
    for (double bad : {std::nan(""), 1e300, -1e300, HUGE_VAL, -700000.0, 2958466.0}) {
        EXPECT_FALSE(dateOfValue(bad).has_value());
        if (std::fabs(bad) > 3e6 || std::isnan(bad)) {
            EXPECT_FALSE(timeOfValue(bad).has_value());
        }
    }
}

TEST(LogFormat, ReadsDatesAndTimesAsAStandardReaderWould) {
    struct Case {
        const char* text;
        QDate date;
    };
    const Case dates[] = {
        {"15/01/2024", QDate(2024, 1, 15)},
        {"5/1/2024", QDate(2024, 1, 5)},
        {"15/01/24", QDate(2024, 1, 15)},
        {" 01/02/2021 ", QDate(2021, 2, 1)},
        {"29/02/2023", QDate()},
        {"15-01-2024", QDate()},
        {"15/01/224", QDate()},
        {"", QDate()},
        {"aa/bb/cccc", QDate()},
        {"32/01/2024", QDate()},
    };
    for (const Case& c : dates) {
        const auto parsed = tryParseLogDate(QString::fromLatin1(c.text));
        EXPECT_EQ(parsed.value_or(QDate()), c.date) << c.text;
    }
    struct TimeCase {
        const char* text;
        QTime time;
    };
    const TimeCase times[] = {
        {"07:05", QTime(7, 5)}, {"7:5", QTime(7, 5)}, {"23:59:30", QTime(23, 59, 30)},
        {"24:00", QTime()},     {"0705", QTime()},    {"", QTime()},
    };
    for (const TimeCase& c : times) {
        const auto parsed = tryParseLogTime(QString::fromLatin1(c.text));
        EXPECT_EQ(parsed.value_or(QTime()), c.time) << c.text;
    }
    try {
        (void)parseLogDate(QStringLiteral("31/02/2021"));
        FAIL() << "no error";
    } catch (const ConvertError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'31/02/2021' n'est pas une date correcte"));
    }
    try {
        (void)parseLogTime(QStringLiteral("12h30"));
        FAIL() << "no error";
    } catch (const ConvertError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'12h30' n'est pas une heure correcte"));
    }
}

TEST(RecordFile, WritesBeyondTheEndLeaveZeroGapsAndIgnoreAPartialTail) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("LOG.QRP"));
    RecordFile file;
    file.create(path);
    const Record line =
        test::lineRecord(QStringLiteral("D4ERI"), QStringLiteral("40"), {2024, 1, 15}, {8, 5});
    file.write(3, line);
    EXPECT_EQ(file.recordCount(), 4);
    EXPECT_TRUE(file.read(1).isBlank());
    EXPECT_EQ(file.read(3), line);
    file.close();

    QByteArray bytes = test::readFile(path);
    EXPECT_EQ(bytes.left(3 * 88), QByteArray(3 * 88, '\0'));
    test::writeFile(path, bytes + QByteArray(40, 'Z'));
    file.open(path);
    EXPECT_EQ(file.recordCount(), 4);
    EXPECT_EQ(file.readAll().size(), 4 * 88);
    try {
        (void)file.read(5);
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_EQ(e.message(), "Lecture au-delà de la fin de fichier : " + path);
    }
}

// A record that does not go in whole (file-size limit, full volume) is taken out again: the file
// ends with its last whole record, and the next write goes where it should.
TEST(RecordFile, AFailedWriteLeavesNoPartOfItsRecord) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("LOG.QRP"));
    RecordFile file;
    file.create(path);
    const Record line =
        test::lineRecord(QStringLiteral("D4ERI"), QStringLiteral("40"), {2024, 1, 15}, {8, 5});
    file.write(10, line);
    const QByteArray before = test::readFile(path);
    ASSERT_EQ(before.size(), 11 * 88);
    for (const qint64 index : {11, 14}) {
        const test::FileSizeLimit limit(11 * 88 + 8);
        try {
            file.write(index, line);
            ADD_FAILURE() << "the write went through";
        } catch (const IoError& e) {
            EXPECT_EQ(e.message(), "Disque plein : " + path);
        }
        EXPECT_EQ(test::readFile(path), before) << index;
    }
    file.write(11, line);
    EXPECT_EQ(file.recordCount(), 12);
    EXPECT_EQ(file.read(11), line);
}

TEST(RecordFile, OnlyAFileOfWholeRecordsWithAReadableHeaderIsWrittenInto) {
    const QByteArray header = encodeRecord(
        test::lineRecord(QStringLiteral(""), QStringLiteral(""), {2024, 1, 15}, {9, 30}));
    const QByteArray line = encodeRecord(
        test::lineRecord(QStringLiteral("D4ERI"), QStringLiteral("40"), {2024, 1, 15}, {8, 5}));
    QByteArray nanDate = header;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    std::memcpy(nanDate.data() + RecordLayout::DateOffset, &nan, 8);
    QByteArray longCall = header;
    longCall[RecordLayout::Call.lengthOffset] = char(16);
    const QByteArray cabrillo = "START-OF-LOG: 3.0\r\nCONTEST: DVU\r\nCALLSIGN: D4ERI\r\n"
                                "QSO: 7000 CW 2024-01-15 0805 D4ERI 599 123 QRP DL1ABC 599 NM\r\n";
    struct Case {
        QByteArray bytes;
        bool contestFile;
    };
    const Case cases[] = {
        {QByteArray(), true},
        {QByteArray(88, '\0'), true},
        {header + line, true},
        {header + line + QByteArray(8, '\0'), false}, // a partial record at the end
        {nanDate + line, false},
        {longCall, false},
        {cabrillo, false},
        {cabrillo.left(176), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isContestFileImage(c.bytes), c.contestFile) << c.bytes.left(40).toHex().data();
    }
}

TEST(RecordFile, FailuresCarryTheRuntimeWording) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    RecordFile file;
    try {
        file.open(dir.filePath(QStringLiteral("missing/LOG.QRP")));
        FAIL() << "no error";
    } catch (const IoError& e) {
        EXPECT_EQ(e.message(), "Fichier introuvable : " + dir.filePath("missing/LOG.QRP"));
    }

    const QString path = dir.filePath(QStringLiteral("READONLY.QRP"));
    test::writeFile(path, QByteArray(88, '\0'));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                          QFile::ReadOther | QFile::ExeOther);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadOther);
    {
        test::AsUnprivilegedUser nobody;
        try {
            file.open(path);
            FAIL() << "no error";
        } catch (const IoError& e) {
            EXPECT_EQ(e.message(), "Accès au fichier refusé : " + path);
        }
    }

    struct Case {
        int code;
        const char* text;
    };
    const Case texts[] = {{2, "Fichier introuvable"},
                          {5, "Accès au fichier refusé"},
                          {112, "Disque plein"},
                          {38, "Lecture au-delà de la fin de fichier"},
                          {EISDIR, "Ce nom est celui d'un dossier, pas d'un fichier"},
                          {ELOOP, "Trop de liens symboliques"},
                          {EMFILE, "Erreur E/S 24"}};
    for (const Case& c : texts) {
        EXPECT_EQ(IoError(c.code).message(), QString::fromUtf8(c.text));
    }
    EXPECT_EQ(IoError::fromErrno(ENOSPC).message(), QStringLiteral("Disque plein"));
    EXPECT_EQ(IoError::fromErrno(EROFS).message(), QStringLiteral("Accès au fichier refusé"));

    // Every file error names its file; a folder or a loop of links where a file should be says so.
    const QString folder = dir.filePath(QStringLiteral("FOLDER.QRP"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString loop = dir.filePath(QStringLiteral("LOOP.QRP"));
    ASSERT_TRUE(QFile::link(loop, loop));
    struct Named {
        QString path;
        const char* text;
    };
    for (const Named& n : {Named{folder, "Ce nom est celui d'un dossier, pas d'un fichier"},
                           Named{loop, "Trop de liens symboliques"}}) {
        try {
            file.open(n.path);
            ADD_FAILURE() << "opened " << n.path.toStdString();
        } catch (const IoError& e) {
            EXPECT_EQ(e.message(), QString::fromUtf8(n.text) + " : " + n.path);
        }
    }
}

} // namespace
} // namespace vu
