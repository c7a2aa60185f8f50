#include "controls/tsliderthumb.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "platform/tapplication.h"

namespace {

// A copy of the source rectangle (the whole image when it is empty) in which every pixel of the
// given colour is cleared and all others stay as they are; premultiplied, so drawing it needs no
// conversion.
QImage TransparentPiece(const QRect& source, const QImage& bitmap, const QColor& colour) {
    const QRect area = (source.width() <= 0 || source.height() <= 0) ? bitmap.rect() : source;
    QImage piece = bitmap.copy(area).convertToFormat(QImage::Format_ARGB32);
    piece.setDevicePixelRatio(bitmap.devicePixelRatio());  // drawn at its logical size
    const QRgb key = colour.rgb() & RGB_MASK;
    for (int row = 0; row < piece.height(); ++row) {
        auto* line = reinterpret_cast<QRgb*>(piece.scanLine(row));
        for (int col = 0; col < piece.width(); ++col) {
            if ((line[col] & RGB_MASK) == key) {
                line[col] = 0;
            }
        }
    }
    return piece.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Hands a mouse event to a bound handler; an error it raises goes to the general error handler.
void Forward(const TSliderThumb::TMouseEvent& handler, QMouseEvent* event, QWidget* thumb) {
    if (handler) {
        const QPoint at = event->position().toPoint();
        guarded(handler, thumb)(event->button(), event->modifiers(), at.x(), at.y());
    }
}

}  // namespace

TSliderThumb::TSliderThumb(QWidget* parent)
    : QWidget(parent), transparentColor_(QColor(0x80, 0x80, 0x00)) {
    // The slider keeps the keyboard focus; the thumb only answers the mouse.
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_NoSystemBackground);
}

void TSliderThumb::SetBitmap(const QImage& bitmap) {
    bitmap_ = bitmap;
    FitToBitmap();
    update();
}

void TSliderThumb::SetDown(bool down) {
    if (down_ == down) {
        return;
    }
    down_ = down;
    update();
}

void TSliderThumb::SetNumStates(int numStates) {
    if (numStates < 1 || numStates > 2 || numStates == numStates_) {
        return;
    }
    numStates_ = numStates;
    FitToBitmap();
    update();
}

void TSliderThumb::FitToBitmap() {
    if (bitmap_.isNull()) {
        return;
    }
    // In logical pixels: a picture for a high-density screen has more pixels than it shows.
    const QSize size = bitmap_.deviceIndependentSize().toSize();
    setGeometry(x(), y(), size.width() / numStates_, size.height());
}

void TSliderThumb::DrawTransparentBitmap(QPainter& canvas, int x, int y, const QRect& source,
                                         const QImage& bitmap, const QColor& colour) {
    if (!bitmap.isNull()) {
        canvas.drawImage(QPoint(x, y), TransparentPiece(source, bitmap, colour));
    }
}

void TSliderThumb::TTransparentPiece::Draw(QPainter& canvas, int x, int y, const QRect& source,
                                           const QImage& bitmap, const QColor& colour) {
    if (bitmap.isNull()) {
        return;
    }
    const QRgb rgb = colour.rgb();
    if (piece_.isNull() || bitmap.cacheKey() != bitmapKey_ || source != source_ || rgb != colour_) {
        piece_ = TransparentPiece(source, bitmap, colour);
        bitmapKey_ = bitmap.cacheKey();
        source_ = source;
        colour_ = rgb;
    }
    canvas.drawImage(QPoint(x, y), piece_);
}

void TSliderThumb::paintEvent(QPaintEvent*) {
    QRect source = bitmap_.rect();
    if (numStates_ > 1) {
        const int half = bitmap_.width() / 2;
        if (down_) {
            source.setLeft(half);
        } else {
            source.setRight(half - 1);
        }
    }
    QPainter canvas(this);
    piece_.Draw(canvas, 0, 0, source, bitmap_, transparentColor_);
}

void TSliderThumb::mousePressEvent(QMouseEvent* event) {
    Forward(OnMouseDown, event, this);
}

void TSliderThumb::mouseMoveEvent(QMouseEvent* event) {
    Forward(OnMouseMove, event, this);
}

void TSliderThumb::mouseReleaseEvent(QMouseEvent* event) {
    Forward(OnMouseUp, event, this);
}
