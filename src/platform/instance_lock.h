#pragma once

#include <QString>

namespace vu {

// Keeps a second copy of the program from running. The lock is an advisory lock on a file, which
// the system releases when the process ends in any way, so a crashed run never blocks the next.
class InstanceLock {
public:
    // The lock file's path, e.g. in the user's runtime folder.
    explicit InstanceLock(QString path);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock; false when another process holds it.
    [[nodiscard]] bool tryLock();
    [[nodiscard]] bool isLocked() const { return m_fd >= 0; }

    // The message shown by a second start.
    [[nodiscard]] static QString alreadyRunningText() {
        return QStringLiteral("VARURAV_UDA is already running");
    }
    // The default lock file: "VARURAV_UDA.exe.lock" in the runtime (or temporary) folder.
    [[nodiscard]] static QString defaultPath();

private:
    QString m_path;
    int m_fd = -1;
};

} // namespace vu
