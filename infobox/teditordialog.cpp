#include "infobox/teditordialog.h"

#include <QShowEvent>

#include "platform/tapplication.h"

void TEditorDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The window system's own show events (the window mapped, restored) are no new showing.
    if (!event->spontaneous()) {
        guarded([this] { FormShow(); }, this)();
    }
}
