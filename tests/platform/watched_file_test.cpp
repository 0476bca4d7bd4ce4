#include "platform/errors.h"
#include "platform/watched_file.h"
#include "support/test_support.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace vu {
namespace {

TEST(WatchedFile, FindsTheFileWhateverTheCaseOfItsName) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WatchedFile file(dir.path(), "DXCC.CSV");
    EXPECT_EQ(file.path(), dir.filePath("DXCC.CSV")); // none yet: the name as given
    EXPECT_FALSE(file.exists());

    test::writeFile(dir.filePath("dxcc.Csv"), "x");
    EXPECT_EQ(file.path(), dir.filePath("dxcc.Csv"));
    EXPECT_TRUE(file.exists());

    test::writeFile(dir.filePath("DXCC.CSV"), "x"); // the exact name comes first
    EXPECT_EQ(file.path(), dir.filePath("DXCC.CSV"));
    ASSERT_TRUE(QFile::remove(dir.filePath("DXCC.CSV")));
    ASSERT_TRUE(QFile::remove(dir.filePath("dxcc.Csv")));
    EXPECT_EQ(file.path(), dir.filePath("DXCC.CSV"));
}

TEST(WatchedFile, NoticesEveryKindOfChange) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("roster.csv");
    WatchedFile file(dir.path(), "roster.csv");
    EXPECT_TRUE(file.changed()); // the first question always says so
    EXPECT_FALSE(file.changed());

    test::writeFile(path, "one");
    EXPECT_TRUE(file.changed()); // appeared
    EXPECT_FALSE(file.changed());
    test::writeFile(path, "three");
    EXPECT_TRUE(file.changed()); // other size

    // Same size, replaced by a rename, as a download does.
    test::writeFile(path + ".new", "tree!");
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(path + ".new", path));
    EXPECT_TRUE(file.changed());

    // Same size, same file, new modification time.
    QFile handle(path);
    ASSERT_TRUE(handle.open(QIODevice::ReadWrite));
    ASSERT_TRUE(handle.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-3600),
                                   QFileDevice::FileModificationTime));
    handle.close();
    EXPECT_TRUE(file.changed());

    ASSERT_TRUE(QFile::remove(path));
    EXPECT_TRUE(file.changed()); // vanished
    EXPECT_FALSE(file.changed());

    file.invalidate();
    EXPECT_TRUE(file.changed());
}

TEST(WatchedFile, ReloadsOnlyAfterAChangeAndRetriesAfterAFailedRead) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WatchedFile file(dir.path(), "list.csv");
    QByteArray loaded = "nothing yet";
    int loads = 0;
    const auto load = [&](const QByteArray& bytes) {
        loaded = bytes;
        ++loads;
    };
    file.reloadIfChanged(load);
    EXPECT_EQ(loaded, "");
    test::writeFile(dir.filePath("list.csv"), "a,b\r\n");
    file.reloadIfChanged(load);
    file.reloadIfChanged(load);
    EXPECT_EQ(loaded, "a,b\r\n");
    EXPECT_EQ(loads, 2);

    int calls = 0;
    const auto failing = [&](const QByteArray& bytes) {
        ++calls;
        if (!bytes.isEmpty()) {
            throw IoError(IoError::AccessDenied);
        }
    };
    test::writeFile(dir.filePath("list.csv"), "a,b,c\r\n");
    EXPECT_THROW(file.reloadIfChanged(failing), IoError);
    EXPECT_EQ(calls, 2); // the failed load, then the emptying one
    file.reloadIfChanged(load);
    EXPECT_EQ(loaded, "a,b,c\r\n");
}

} // namespace
} // namespace vu
