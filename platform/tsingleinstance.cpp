#include "platform/tsingleinstance.h"

#include "platform/tapplication.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

QString TSingleInstance::LockFileName(const QString& name) {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QDir(folder).exists()) {
        folder = QDir::tempPath();
    }
    return QDir(folder).filePath(name + QStringLiteral(".lock"));
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
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
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
    TApplication::instance().messageBox(
        {nullptr, QMessageBox::Critical, RefusalCaption(), RefusalText(), QMessageBox::Ok});
    return false;
}
