// Takes the player's single-instance lock like the player does. A refusal box is printed as
// "caption|icon|text" instead of shown. Exits 0 holding the lock, 1 when refused.
#include "platform/tapplication.h"
#include "platform/tsingleinstance.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    TApplication::instance().setPresenter([](const TApplication::MessageRequest& request) {
        const QString line = request.caption + QLatin1Char('|') + QString::number(request.icon) +
                             QLatin1Char('|') + request.text;
        std::fputs(line.toUtf8().constData(), stdout);
        return QMessageBox::Ok;
    });
    TSingleInstance lock(TSingleInstance::LockFileName(QStringLiteral("Tovra3")));
    return lock.AcquireOrRefuse() ? 0 : 1;
}
