#pragma once

#include <QString>
#include <memory>

class QLockFile;

namespace tvx {

// The one-copy-at-a-time rule, held from start-up until the process ends: on Windows the named mutex
// "TVX-230 TCP_X_Mutex"; elsewhere a lock file of that name, where a lock left behind by a copy that died
// is taken over.
class InstanceLock {
  public:
    static constexpr char kName[] = "TVX-230 TCP_X_Mutex";

    // The lock in the per-user runtime folder (the temporary folder where there is none).
    InstanceLock();
    explicit InstanceLock(const QString& path);
    ~InstanceLock();

    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False while another copy holds the lock. True when this process now holds it, and also when the
    // folder cannot hold a lock at all, so that the tool still starts.
    bool try_lock();
    bool is_locked() const;
    QString path() const { return path_; }

    static QString default_path();

  private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
    void* mutex_ = nullptr;  // the named mutex held, on Windows
};

}  // namespace tvx
