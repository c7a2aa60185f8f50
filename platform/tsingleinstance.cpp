#include "platform/tsingleinstance.h"

#include "platform/tapplication.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

QString TSingleInstance::LockFileName(const QString& name) {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists()) {
        return QDir(runtime).filePath(name + QStringLiteral(".lock"));
    }
    // Every user shares the temporary folder: under one fixed name the first user's file (mode
    // 0600) would refuse all the others for as long as it lies there.
    return QDir(QDir::tempPath())
        .filePath(QStringLiteral("%1-%2.lock").arg(name).arg(static_cast<qulonglong>(::getuid())));
}

TSingleInstance::TSingleInstance(QString lockFileName) : lockFileName_(std::move(lockFileName)) {}

TSingleInstance::~TSingleInstance() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool TSingleInstance::Acquire() {
    if (fd_ >= 0) {
        return true;
    }
    const QByteArray path = QFile::encodeName(lockFileName_);
    // In a shared folder someone else may have put a link under the lock's name; it isn't followed.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

bool TSingleInstance::AcquireOrRefuse() {
    if (Acquire()) {
        return true;
    }
    ShowRefusal();
    return false;
}

void TSingleInstance::ShowRefusal() {
    TApplication::instance().messageBox(
        {nullptr, QMessageBox::Critical, RefusalCaption(), RefusalText(), QMessageBox::Ok});
}
