#include "core/instance_guard.h"

#include <QDir>
#include <QStandardPaths>

namespace nubivista::core {

LockFileInstanceGuard::LockFileInstanceGuard(QString lockPath) : lockPath_(std::move(lockPath)) {}

bool LockFileInstanceGuard::claim() {
    if (lock_ && lock_->isLocked())
        return true;
    QDir().mkpath(QFileInfo(lockPath_).absolutePath());
    lock_ = std::make_unique<QLockFile>(lockPath_);
    // No age limit: a lock is stale only when its process is gone, which
    // QLockFile checks by process id.
    lock_->setStaleLockTime(0);
    if (lock_->tryLock(0))
        return true;
    // Only a lock held by a running instance refuses the start. A lock file
    // that cannot be made at all (no writable runtime folder) must not keep
    // the user out of the program: the check is skipped then.
    return lock_->error() != QLockFile::LockFailedError;
}

QString LockFileInstanceGuard::defaultLockPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/nubivista.lock");
}

} // namespace nubivista::core
