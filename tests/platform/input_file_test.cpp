#include "platform/errors.h"
#include "platform/input_file.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vu {
namespace {

// What reading `path` raises: its code and text; code 0 when it read.
struct ReadFailure {
    int code = 0;
    QString text;
};

ReadFailure readFailure(const QString& path, qint64 limit) {
    try {
        (void)readWholeFile(path, limit);
    } catch (const IoError& e) {
        return {e.code(), e.message()};
    }
    return {};
}

// A FIFO or a device in place of a file would block the open or never end the read; each is
// refused at once with an error naming it.
TEST(InputFile, RefusesWhatIsNotARegularFileWithoutWaiting) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString fifo = dir.filePath("fifo.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    const QString zero = dir.filePath("zero.ini");
    ASSERT_TRUE(QFile::link("/dev/zero", zero));
    const QString folder = dir.filePath("folder.ini");
    ASSERT_TRUE(QDir().mkpath(folder));
    struct Case {
        QString path;
        int code;
    };
    const Case cases[] = {
        {fifo, IoError::NotRegularFile},
        {zero, IoError::NotRegularFile},
        {folder, EISDIR},
        {dir.filePath("missing.ini"), IoError::FileNotFound},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const ReadFailure f = readFailure(c.path, kTextFileLimit);
        EXPECT_EQ(f.code, c.code);
        EXPECT_TRUE(f.text.endsWith(" : " + c.path)) << f.text.toStdString();
        EXPECT_THROW((void)openRegularFile(c.path, true), IoError);
    }
    EXPECT_EQ(IoError(IoError::NotRegularFile).message(), "Ce n'est pas un fichier ordinaire");
}

// A sparse file claims gigabytes without taking them: its size alone refuses it.
TEST(InputFile, RefusesAFileLargerThanTheLimitOfItsKind) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString sparse = dir.filePath("sparse.QRP");
    const int fd = ::open(QFile::encodeName(sparse).constData(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, qint64(8) << 30), 0); // 8 GiB of holes
    ::close(fd);
    const ReadFailure f = readFailure(sparse, kContestFileLimit);
    EXPECT_EQ(f.code, IoError::TooLarge);
    EXPECT_EQ(f.text, "Fichier trop volumineux : " + sparse);

    const QString atLimit = dir.filePath("limit.ini");
    test::writeFile(atLimit, QByteArray(kTextFileLimit, 'x'));
    EXPECT_EQ(readWholeFile(atLimit, kTextFileLimit).size(), kTextFileLimit);
    test::writeFile(atLimit, QByteArray(kTextFileLimit + 1, 'x'));
    EXPECT_EQ(readFailure(atLimit, kTextFileLimit).code, IoError::TooLarge);
}

TEST(InputFile, TheDescriptorOfARegularFileBlocksAsUsual) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("log.QRP");
    test::writeFile(path, "abc");
    const int fd = openRegularFile(path, true);
    EXPECT_EQ(::fcntl(fd, F_GETFL) & O_NONBLOCK, 0);
    EXPECT_EQ(::fcntl(fd, F_GETFL) & O_ACCMODE, O_RDWR);
    ::close(fd);
}

} // namespace
} // namespace vu
