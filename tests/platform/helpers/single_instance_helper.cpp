// Starts as the player does, up to its first window: takes the single-instance lock, or hands
// its arguments to the copy that runs, or is refused. A refusal box is printed as
// "caption|icon|text" instead of shown. Exits 0 holding the lock or having handed over, 1 when
// refused.
#include "platform/tapplication.h"
#include "platform/tinstancechannel.h"
#include "platform/tsingleinstance.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    TApplication::instance().setPresenter([](const TApplication::MessageRequest& request) {
        const QString line = request.caption + QLatin1Char('|') + QString::number(request.icon) +
                             QLatin1Char('|') + request.text;
        std::fputs(line.toUtf8().constData(), stdout);
        return QMessageBox::Ok;
    });
    const QString lockFileName = TSingleInstance::LockFileName(QStringLiteral("Tovra3"));
    TSingleInstance lock(lockFileName);
    if (lock.Acquire()) {
        return 0;
    }
    return TInstanceChannel::HandOverOrRefuse(TInstanceChannel::SocketName(lockFileName),
                                              QCoreApplication::arguments().mid(1),
                                              QDir::currentPath())
               ? 0
               : 1;
}
