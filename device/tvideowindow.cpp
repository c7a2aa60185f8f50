#include "device/tvideowindow.h"

TVideoWindow::TVideoWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_PaintOnScreen);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A native child of a hidden owner must not force native windows up the tree.
    setAttribute(Qt::WA_DontCreateNativeAncestors);
}

void TVideoWindow::paintEvent(QPaintEvent*) {
    if (expose_) {
        expose_();
    }
}

void TVideoWindow::resizeEvent(QResizeEvent*) {
    if (expose_) {
        expose_();
    }
}
