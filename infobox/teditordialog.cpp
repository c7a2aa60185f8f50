#include "infobox/teditordialog.h"

#include <QKeyEvent>
#include <QShowEvent>

#include "platform/tapplication.h"

void TEditorDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The window system's own show events (the window mapped, restored) are no new showing.
    if (!event->spontaneous()) {
        guarded([this] { FormShow(); }, this)();
    }
}

void TEditorDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();  // a plain dialog would close as cancelled
        return;
    }
    QDialog::keyPressEvent(event);
}
