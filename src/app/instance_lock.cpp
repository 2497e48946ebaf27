#include "app/instance_lock.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#ifdef _WIN32
#include <QCryptographicHash>

#include <windows.h>
#endif

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

QString InstanceLock::default_path() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    return QDir(folder).filePath(QStringLiteral("%1.lock").arg(QLatin1String(kName)));
}

#ifdef _WIN32

// On Windows the rule is a named mutex, as the system keeps it: it goes with the process that made it,
// however that process ends, so nothing is left behind to be taken over (a lock file would be judged by a
// process number, which the system gives out again). The default lock is the mutex of the tool's own name;
// a lock elsewhere (a test's) is one of that name and the path.
bool InstanceLock::try_lock() {
    if (mutex_) return true;
    std::wstring name = QString::fromLatin1(kName).toStdWString();
    if (path_ != default_path()) {
        const QByteArray digest = QCryptographicHash::hash(path_.toUtf8(), QCryptographicHash::Sha256).toHex();
        name += L" " + QString::fromLatin1(digest.left(16)).toStdWString();
    }
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name.c_str());
    if (mutex == nullptr) return true;  // no mutex to be had: the tool still runs, without the guard
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        return false;
    }
    mutex_ = mutex;
    return true;
}

bool InstanceLock::is_locked() const {
    return mutex_ != nullptr;
}

InstanceLock::~InstanceLock() {
    if (mutex_) ::CloseHandle(mutex_);
}

#else

InstanceLock::~InstanceLock() = default;

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

#endif

}  // namespace tvx
