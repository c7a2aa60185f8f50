#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

#include <functional>

class QPainter;

// The thumb of a TSlider: a child control drawn from a one- or two-state image (normal state on
// the left half, pressed state on the right half). Its size always follows the image; the slider
// places it and binds its mouse handlers.
class TSliderThumb : public QWidget {
    Q_OBJECT
public:
    // (button, modifiers, x, y) in thumb coordinates, as the mouse events of the toolkit.
    using TMouseEvent = std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)>;

    explicit TSliderThumb(QWidget* parent = nullptr);

    const QImage& Bitmap() const { return bitmap_; }
    // Takes a copy of the image and resizes the thumb to one state of it.
    void SetBitmap(const QImage& bitmap);

    bool Down() const { return down_; }
    void SetDown(bool down);

    // 1 or 2 states side by side in the image; other values are ignored.
    int NumStates() const { return numStates_; }
    void SetNumStates(int numStates);

    // Keeps left and top; width = image width div NumStates, height = image height.
    void FitToBitmap();

    // Olive (RGB 808000): pixels of this colour are left out when the thumb is drawn.
    QColor TransparentColor() const { return transparentColor_; }

    // Draws the source rectangle of the image (the whole image when the rectangle is empty) at
    // (x, y) in its own size, leaving out every pixel of the given colour. Shared by the thumb
    // and the slider's ruler.
    static void DrawTransparentBitmap(QPainter& canvas, int x, int y, const QRect& source,
                                      const QImage& bitmap, const QColor& colour);

    // The same drawing from a copy kept between paints: the slider repaints several times a
    // second while playing, and masking the picture anew each time was most of its cost.
    class TTransparentPiece {
    public:
        void Draw(QPainter& canvas, int x, int y, const QRect& source, const QImage& bitmap,
                  const QColor& colour);

    private:
        QImage piece_;
        qint64 bitmapKey_ = 0;
        QRect source_;
        QRgb colour_ = 0;
    };

    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseMove;
    TMouseEvent OnMouseUp;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage bitmap_;
    QColor transparentColor_;
    bool down_ = false;
    int numStates_ = 2;
    TTransparentPiece piece_;
};
