#include "platform/instance_lock.h"

#include <QTemporaryDir>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vu {
namespace {

TEST(InstanceLock, ASecondHolderIsRefusedUntilTheFirstEnds) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("VARURAV_UDA.exe.lock"));
    {
        InstanceLock first(path);
        ASSERT_TRUE(first.tryLock());
        InstanceLock second(path);
        EXPECT_FALSE(second.tryLock());
    }
    InstanceLock third(path);
    EXPECT_TRUE(third.tryLock());
}

TEST(InstanceLock, ALockLeftByAKilledProcessDoesNotBlock) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("lock")));
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The child holds the lock the way the program does, then waits to be killed.
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT, 0600);
        const bool locked = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        [[maybe_unused]] const ssize_t n = ::write(ready[1], locked ? "1" : "0", 1);
        for (;;) {
            ::pause();
        }
    }
    char answer = 0;
    ASSERT_EQ(::read(ready[0], &answer, 1), 1);
    ASSERT_EQ(answer, '1');
    InstanceLock blocked(QString::fromLocal8Bit(path));
    EXPECT_FALSE(blocked.tryLock());
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    InstanceLock next(QString::fromLocal8Bit(path));
    EXPECT_TRUE(next.tryLock());
    EXPECT_EQ(InstanceLock::alreadyRunningText(), QStringLiteral("VARURAV_UDA is already running"));
}

} // namespace
} // namespace vu
