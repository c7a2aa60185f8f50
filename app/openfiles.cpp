#include "app/openfiles.h"

#include <QTimer>

#include "app/tform1.h"
#include "platform/tapplication.h"

void OpenFiles(TForm1& form, const QStringList& files) {
    if (files.isEmpty()) {
        return;
    }
    QTimer::singleShot(0, &form, [&form, files] {
        for (const QString& file : files) {
            guarded([&form, &file] { form.List2->DoFileDropped(file); }, &form)();
        }
    });
}

void BringToFront(QWidget& window) {
    window.showNormal();
    window.raise();
    window.activateWindow();
}
