#include "app/instance_lock.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

namespace tvx {

namespace {

// A lock file naming no owner is one whose writer died between creating and filling it; once it is
// this old it cannot be a copy that is still starting.
constexpr qint64 kOwnerlessLockAgeMs = 5000;

}  // namespace

InstanceLock::InstanceLock() : InstanceLock(default_path()) {}

InstanceLock::InstanceLock(const QString& path) : path_(path), lock_(std::make_unique<QLockFile>(path)) {
    // The tool runs for hours: a held lock never goes stale by age, only when its process is gone
    // (QLockFile takes such a lock over by itself).
    lock_->setStaleLockTime(0);
}

InstanceLock::~InstanceLock() = default;

QString InstanceLock::default_path() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    return QDir(folder).filePath(QStringLiteral("%1.lock").arg(QLatin1String(kName)));
}

bool InstanceLock::try_lock() {
    if (lock_->isLocked()) return true;
    if (lock_->tryLock(0)) return true;
    if (lock_->error() != QLockFile::LockFailedError) {
        // The folder cannot hold the lock at all: the tool still runs, without the guard.
        return true;
    }
    qint64 pid = 0;
    QString host;
    QString application;
    if (!lock_->getLockInfo(&pid, &host, &application)) {
        const QDateTime written = QFileInfo(path_).lastModified();
        if (written.isValid() && written.msecsTo(QDateTime::currentDateTime()) > kOwnerlessLockAgeMs &&
            lock_->removeStaleLockFile()) {
            return lock_->tryLock(0);
        }
    }
    return false;
}

bool InstanceLock::is_locked() const {
    return lock_->isLocked();
}

}  // namespace tvx
