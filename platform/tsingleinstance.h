#pragma once

#include <QString>

// The single-instance guard: an exclusive flock on "Tovra3.lock" in $XDG_RUNTIME_DIR (or on
// "Tovra3-<uid>.lock" in the temporary folder). The lock is held for the life of the object, which
// main keeps for the life of the process; the kernel releases it when the process ends, also after
// a crash.
class TSingleInstance {
public:
    // The lock file for a name: "<runtime folder>/<name>.lock"; without a runtime folder,
    // "<name>-<uid>.lock" in the temporary folder.
    static QString LockFileName(const QString& name);

    explicit TSingleInstance(QString lockFileName);
    ~TSingleInstance();
    TSingleInstance(const TSingleInstance&) = delete;
    TSingleInstance& operator=(const TSingleInstance&) = delete;

    // True when this object now holds the lock; false when another process holds it or the
    // lock file can't be opened (access denied).
    bool Acquire();

    // Acquire, or show the refusal box and return false.
    bool AcquireOrRefuse();
    // The box a second copy shows before it ends: caption "Tovra3", error icon.
    static void ShowRefusal();

    static QString RefusalText() {
        return QStringLiteral("Aplikasi Tovra III [Velmo History] Sudah Berjalan! ");
    }
    static QString RefusalCaption() { return QStringLiteral("Tovra3"); }

private:
    QString lockFileName_;
    int fd_ = -1;
};
