#pragma once

#include <QFlags>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>

#include "controls/tsliderthumb.h"

class QPainter;

enum TSliderOrientation { soHorizontal = 0, soVertical = 1 };

enum TSliderOption : std::uint8_t {
    soShowFocus = 0x01,
    soShowPoints = 0x02,
    soSmooth = 0x04,
};
Q_DECLARE_FLAGS(TSliderOptions, TSliderOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TSliderOptions)

// A bitmap-skinned slider: a ruler tiled from a small image, a separate thumb child, optional
// tick marks, an integer range stepped by Increment, dragging with start/stop notifications,
// click-and-hold repeat on the track and keyboard control.
//
// Setting Value from code runs OnChange only when the stored value changes. Events are plain
// callbacks called with the slider as sender; those raised from mouse, key and timer handling
// are run through the general error handler, those raised by a setter reach its caller.
// Ruler and thumb are laid out again on every resize event; a hidden slider gets its pending
// one when shown, and Value is kept through every layout.
class TSlider : public QWidget {
    Q_OBJECT
public:
    // Image indexes: each names one image property and one default image.
    enum { ImgHThumb = 0, ImgHRuler = 1, ImgVThumb = 2, ImgVRuler = 3, ImageCount = 4 };

    using TNotifyEvent = std::function<void(TSlider* sender)>;
    using TMouseEvent = std::function<void(TSlider* sender, Qt::MouseButton button,
                                           Qt::KeyboardModifiers shift, int x, int y)>;
    // key is a Qt::Key code; the slider sets it to 0 when it used the key itself.
    using TKeyEvent = std::function<void(TSlider* sender, int& key, Qt::KeyboardModifiers shift)>;

    // Where a point of the track lies relative to the thumb, and the steps the slider takes.
    enum TStepKind { skNone, skBackward, skForward, skToMin, skToMax };

    explicit TSlider(QWidget* parent = nullptr);
    ~TSlider() override;

    // Images. An empty image restores the default one; a given image is the user's own.
    const QImage& Image(int index) const;
    void SetImage(int index, const QImage& bitmap);
    const QImage& ImageHThumb() const { return Image(ImgHThumb); }
    const QImage& ImageHRuler() const { return Image(ImgHRuler); }
    const QImage& ImageVThumb() const { return Image(ImgVThumb); }
    const QImage& ImageVRuler() const { return Image(ImgVRuler); }
    void SetImageHThumb(const QImage& bitmap) { SetImage(ImgHThumb, bitmap); }
    void SetImageHRuler(const QImage& bitmap) { SetImage(ImgHRuler, bitmap); }
    void SetImageVThumb(const QImage& bitmap) { SetImage(ImgVThumb, bitmap); }
    void SetImageVRuler(const QImage& bitmap) { SetImage(ImgVRuler, bitmap); }

    // Bit i set: image i was supplied by the user (the one-byte "UserImages" of a stored slider).
    std::uint8_t UserImages() const { return userImages_; }
    // Reads the stored "UserImages" byte back; Loaded() then rebuilds from the images.
    void SetUserImages(std::uint8_t mask) { userImages_ = mask; }
    // After-loading notification: re-applies every user image so thumb and ruler follow them.
    virtual void Loaded();

    // Pixels of the ruler image kept unstretched at each end.
    int EdgeSize() const { return edgeSize_; }
    void SetEdgeSize(int edgeSize);
    int NumThumbStates() const;
    void SetNumThumbStates(int numStates);
    TSliderOrientation Orientation() const { return orientation_; }
    void SetOrientation(TSliderOrientation orientation);
    TSliderOptions Options() const { return options_; }
    void SetOptions(TSliderOptions options);
    int Increment() const { return increment_; }
    void SetIncrement(int increment);
    int MinValue() const { return minValue_; }
    void SetMinValue(int value);
    int MaxValue() const { return maxValue_; }
    void SetMaxValue(int value);
    int Value() const { return value_; }
    void SetValue(int value);
    bool ThumbVisible() const { return thumbVisible_; }
    void SetThumbVisible(bool visible);

    // Geometry, read-only: the thumb child, the ruler as built, where it is drawn, the tick area.
    TSliderThumb* Thumb() const { return thumb_; }
    const QImage& RulerBitmap() const { return rulerBitmap_; }
    QPoint RulerOrigin() const { return rulerOrigin_; }
    QRect PointsRect() const { return pointsRect_; }
    bool HasFocus() const { return hasFocus_; }
    bool Tracking() const { return tracking_; }
    bool RepeatActive() const { return repeatActive_; }
    bool RepeatTimerOn() const { return repeatTimer_.isActive(); }

    // Thumb travel along the axis in pixels: ruler length minus thumb length.
    int TravelLength() const;
    int ValueToPosition(int value) const;
    int PositionToValue(int position) const;
    TStepKind HitRegion(int x, int y) const;
    void StepTo(TStepKind kind);

    // Moves the thumb to a value as a drag of it does, for the keyboard (Page Up, Page Down) and
    // assistive technologies: OnStartTracking, the move (OnChange if the value changes), then
    // OnStopTracking, each through the general error handler as a mouse drag runs them.
    void DragTo(int value);
    // A tenth of the range, at least Increment: what Page Up and Page Down move.
    int PageStep() const;

    // The canvas while the slider paints (for OnDrawPoints); null otherwise.
    QPainter* Canvas() const { return canvas_; }
    // Default tick marks: a tick every step (thinned until 3 pixels apart), ends longer.
    virtual void DrawPoints(int step, int height, int endHeight);

    TNotifyEvent OnChange;
    TNotifyEvent OnDrawPoints;
    TNotifyEvent OnStartTracking;
    TNotifyEvent OnStopTracking;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;

protected:
    virtual void ThumbPressed(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    virtual void ThumbDragged(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    virtual void ThumbReleased(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    // Fires OnChange.
    virtual void Change();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void CreateParts();
    void RefreshParts();
    void LayoutParts();
    void RebuildRuler();
    void MoveThumbTo(int position);
    void RepeatStep();
    void StopRepeat();
    void FocusChanged(bool focused);
    void AnnounceValue();
    const QImage& RulerImage() const;

    std::uint8_t userImages_ = 0;
    std::array<QImage, ImageCount> images_;
    int edgeSize_ = 2;
    QImage rulerBitmap_;
    TSliderThumb::TTransparentPiece rulerPiece_;
    QPoint rulerOrigin_;
    TSliderThumb* thumb_ = nullptr;
    QRect pointsRect_;
    TSliderOrientation orientation_ = soHorizontal;
    TSliderOptions options_ = soShowFocus | soShowPoints | soSmooth;
    bool thumbVisible_ = true;
    int minValue_ = 0;
    int maxValue_ = 100;
    int increment_ = 10;
    int value_ = 0;
    int grabOffset_ = 0;
    bool hasFocus_ = false;
    bool tracking_ = false;
    bool repeatActive_ = false;
    QPoint pressPoint_;
    TStepKind pressRegion_ = skNone;
    QTimer repeatTimer_;
    bool constructing_ = true;
    bool clickPending_ = false;
    QPainter* canvas_ = nullptr;
};
