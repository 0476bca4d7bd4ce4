#pragma once

#include <QString>

namespace vu {

// An advisory lock held on one file for as long as this object keeps it, so that two programs
// never write into the same file at once. The system releases it when the process ends in any
// way. The lock belongs to the file itself, not to its name: a file renamed over the name is a
// different file, and `holdsFileAt` tells whether the name still leads to the locked one.
class FileLock {
public:
    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;

    // Locks the file at `path`; false when another holder has it. Throws IoError when the file
    // cannot be opened. A lock held before is released first.
    [[nodiscard]] bool tryLock(const QString& path);
    void release();
    [[nodiscard]] bool isLocked() const { return m_fd >= 0; }
    // Whether `path` names the file this lock holds.
    [[nodiscard]] bool holdsFileAt(const QString& path) const;
    // Whether `path` names another file than the one this lock holds (false when that cannot be
    // told, as in a folder the process may no longer search).
    [[nodiscard]] bool lostFileAt(const QString& path) const;

private:
    int m_fd = -1;
};

} // namespace vu
