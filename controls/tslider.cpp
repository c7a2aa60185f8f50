#include "controls/tslider.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <climits>
#include <cmath>

#include "controls/tslideraccessible.h"
#include "platform/highdensity.h"
#include "platform/tapplication.h"

// Registers the default images of the static library (outside any namespace, as Qt requires).
static void InitSliderResources() {
    Q_INIT_RESOURCE(tslider);
}

namespace {

constexpr int kRepeatIntervalMs = 400;
const QColor kOlive(0x80, 0x80, 0x00);

constexpr std::array<const char*, TSlider::ImageCount> kDefaultImages = {
    ":/controls/W95_HTB.png",  // 18 x 17: two 9 x 17 states
    ":/controls/W95_HRL.png",  // 10 x 10
    ":/controls/W95_VTB.png",  // 34 x 9: two 17 x 9 states
    ":/controls/W95_VRL.png",  // 8 x 10
};

QImage DefaultImage(int index) {
    static const bool registered = (InitSliderResources(), true);
    Q_UNUSED(registered);
    // On a high-density screen the pictures drawn at twice the size, which keep the same logical
    // size (their device pixel ratio is 2).
    return QImage(HighDensityFile(QLatin1String(kDefaultImages[static_cast<std::size_t>(index)])))
        .convertToFormat(QImage::Format_RGB32);
}

// An image's size in the slider's own pixels: a picture for a high-density screen has more
// pixels than that.
QSize LogicalSize(const QImage& image) {
    return image.isNull() ? QSize() : image.deviceIndependentSize().toSize();
}

int ClampToInt(long long value) {
    if (value < INT_MIN) {
        return INT_MIN;
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    return static_cast<int>(value);
}

// a * b / c rounded to the nearest integer, a half to the even neighbour. The product of two
// 32-bit magnitudes needs 64 bits, which long double's 64-bit mantissa holds exactly, and the
// default rounding mode of nearbyint is to nearest, ties to even.
long long NearestOfRatio(long long a, long long b, long long c) {
    const long double x =
        static_cast<long double>(a) * static_cast<long double>(b) / static_cast<long double>(c);
    return static_cast<long long>(std::nearbyint(x));
}

// The step a key asks for: Home and End in both orientations, the arrows along the axis (Up
// increases a vertical slider, whose minimum is at the bottom).
TSlider::TStepKind KeyStep(int key, bool horizontal) {
    switch (key) {
        case Qt::Key_Home:
            return TSlider::skToMin;
        case Qt::Key_End:
            return TSlider::skToMax;
        case Qt::Key_Left:
        case Qt::Key_Down:
            return (key == Qt::Key_Left) == horizontal ? TSlider::skBackward : TSlider::skNone;
        case Qt::Key_Right:
        case Qt::Key_Up:
            return (key == Qt::Key_Right) == horizontal ? TSlider::skForward : TSlider::skNone;
        default:
            return TSlider::skNone;
    }
}

}  // namespace

TSlider::TSlider(QWidget* parent) : QWidget(parent) {
    static const bool accessible =
        (QAccessible::installFactory(&TValueAccessible::Factory<TSlider, TSliderAccessible>), true);
    Q_UNUSED(accessible);
    setAutoFillBackground(true);  // the background is filled with the control's colour
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);  // OnMouseMove without a button held, as a native control has it
    resize(140, 40);
    repeatTimer_.setParent(this);  // a child, so tests can find it and deliver its ticks
    repeatTimer_.setObjectName(QStringLiteral("RepeatTimer"));
    repeatTimer_.setInterval(kRepeatIntervalMs);
    connect(&repeatTimer_, &QTimer::timeout, this,
            [this] { guarded([this] { RepeatStep(); }, this)(); });
    CreateParts();
    constructing_ = false;
}

TSlider::~TSlider() = default;

void TSlider::CreateParts() {
    thumb_ = new TSliderThumb(this);
    thumb_->setCursor(Qt::PointingHandCursor);
    thumb_->SetNumStates(2);
    thumb_->setVisible(thumbVisible_);
    thumb_->OnMouseDown = [this](Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                                 int y) { ThumbPressed(button, shift, x, y); };
    thumb_->OnMouseMove = [this](Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                                 int y) { ThumbDragged(button, shift, x, y); };
    thumb_->OnMouseUp = [this](Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
        ThumbReleased(button, shift, x, y);
    };
    for (int i = 0; i < ImageCount; ++i) {
        SetImage(i, QImage());
    }
    LayoutParts();
}

// ---- images ---------------------------------------------------------------------------------

const QImage& TSlider::Image(int index) const {
    static const QImage none;
    if (index < 0 || index >= ImageCount) {
        return none;
    }
    return images_[static_cast<std::size_t>(index)];
}

void TSlider::SetImage(int index, const QImage& bitmap) {
    if (index < 0 || index >= ImageCount) {
        return;
    }
    auto& image = images_[static_cast<std::size_t>(index)];
    const auto bit = static_cast<std::uint8_t>(1u << index);
    if (!bitmap.isNull()) {
        image = bitmap;
        userImages_ |= bit;
    } else {
        image = DefaultImage(index);
        userImages_ &= static_cast<std::uint8_t>(~bit);
    }
    const int thumbIndex = orientation_ == soHorizontal ? ImgHThumb : ImgVThumb;
    if (index == thumbIndex) {
        thumb_->SetBitmap(image);
    }
    if (!constructing_) {
        RefreshParts();
    }
}

void TSlider::Loaded() {
    for (int i = 0; i < ImageCount; ++i) {
        if (userImages_ & (1u << i)) {
            const QImage own = images_[static_cast<std::size_t>(i)];
            SetImage(i, own);
        }
    }
}

const QImage& TSlider::RulerImage() const {
    return orientation_ == soHorizontal ? ImageHRuler() : ImageVRuler();
}

// ---- properties -----------------------------------------------------------------------------

void TSlider::SetEdgeSize(int edgeSize) {
    const QSize ruler = LogicalSize(RulerImage());
    const int length = orientation_ == soHorizontal ? ruler.width() : ruler.height();
    // A negative edge would make the ruler read outside its tile image.
    if (edgeSize < 0 || 2 * static_cast<long long>(edgeSize) >= length || edgeSize == edgeSize_) {
        return;
    }
    edgeSize_ = edgeSize;
    RefreshParts();
}

int TSlider::NumThumbStates() const {
    return thumb_->NumStates();
}

void TSlider::SetNumThumbStates(int numStates) {
    if (numStates == thumb_->NumStates()) {
        return;
    }
    thumb_->SetNumStates(numStates);
    // The thumb's length changed, and with it the travel: lay out again so it stays on the ruler.
    if (!constructing_) {
        RefreshParts();
    }
}

void TSlider::SetOrientation(TSliderOrientation orientation) {
    if (orientation == orientation_) {
        return;
    }
    orientation_ = orientation;
    thumb_->SetBitmap(orientation_ == soVertical ? ImageVThumb() : ImageHThumb());
    RefreshParts();
}

void TSlider::SetOptions(TSliderOptions options) {
    if (options == options_) {
        return;
    }
    options_ = options;
    update();
}

void TSlider::SetMinValue(int value) {
    if (value == minValue_ ||
        static_cast<long long>(value) > static_cast<long long>(maxValue_) - increment_) {
        return;
    }
    minValue_ = value;
    if (options_ & soShowPoints) {
        update();
    }
}

void TSlider::SetMaxValue(int value) {
    if (value == maxValue_ ||
        static_cast<long long>(value) < static_cast<long long>(minValue_) + increment_) {
        return;
    }
    maxValue_ = value;
    if (options_ & soShowPoints) {
        update();
    }
}

void TSlider::SetIncrement(int increment) {
    if (increment <= 0 || increment == increment_) {
        return;
    }
    increment_ = increment;
    SetValue(value_);
    update();
}

void TSlider::SetValue(int value) {
    if (value > maxValue_) {
        value = maxValue_;
    }
    if (value < minValue_) {
        value = minValue_;
    }
    const bool changed = value != value_;
    value_ = value;
    MoveThumbTo(ValueToPosition(value));
    if (changed) {
        AnnounceValue();
    }
    if (changed && OnChange) {
        OnChange(this);
    }
}

void TSlider::AnnounceValue() {
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(this, value_);
        QAccessible::updateAccessibility(&event);
    }
}

void TSlider::DragTo(int value) {
    const auto notify = [this](const TNotifyEvent& handler) {
        if (handler) {
            guarded(handler, this)(this);
        }
    };
    notify(OnStartTracking);
    guarded([this, value] { SetValue(value); }, this)();
    notify(OnStopTracking);
}

int TSlider::PageStep() const {
    const long long range = static_cast<long long>(maxValue_) - minValue_;
    return std::max(increment_, ClampToInt(range / 10));
}

void TSlider::SetThumbVisible(bool visible) {
    thumbVisible_ = visible;
    thumb_->setVisible(visible);
}

void TSlider::Change() {
    if (OnChange) {
        OnChange(this);
    }
}

// ---- value and position ---------------------------------------------------------------------

int TSlider::TravelLength() const {
    const QSize ruler = LogicalSize(rulerBitmap_);
    return orientation_ == soHorizontal ? ruler.width() - thumb_->width()
                                        : ruler.height() - thumb_->height();
}

// A control no longer than its thumb has no travel: every value sits at position 0 and every
// position means MinValue.
int TSlider::ValueToPosition(int value) const {
    const int travel = TravelLength();
    long long position = 0;
    if (travel > 0) {
        position = NearestOfRatio(travel, static_cast<long long>(value) - minValue_,
                                  static_cast<long long>(maxValue_) - minValue_);
    }
    if (orientation_ == soVertical) {
        position = static_cast<long long>(height()) - position - thumb_->height();
    }
    return ClampToInt(position);
}

int TSlider::PositionToValue(int position) const {
    long long p = position;
    if (orientation_ == soVertical) {
        p = static_cast<long long>(height()) - p - thumb_->height();
    }
    const int travel = TravelLength();
    long long r = 0;
    if (travel > 0) {
        r = NearestOfRatio(p, static_cast<long long>(maxValue_) - minValue_, travel);
    }
    if (!(options_ & soSmooth)) {
        r = (r / increment_) * increment_;  // a multiple of Increment counted from MinValue
    }
    return ClampToInt(r + minValue_);
}

void TSlider::MoveThumbTo(int position) {
    const int old = value_;
    const int travel = TravelLength();
    if (position > travel) {
        position = travel;
    }
    if (position < 0) {
        position = 0;
    }
    if (!(options_ & soSmooth)) {
        position = ValueToPosition(PositionToValue(position));
    }
    if (orientation_ == soHorizontal) {
        thumb_->move(position, thumb_->y());
    } else {
        thumb_->move(thumb_->x(), position);
    }
    if (tracking_) {
        value_ = PositionToValue(position);
        if (value_ != old) {
            AnnounceValue();
            Change();
        }
    }
}

// ---- ruler and layout -----------------------------------------------------------------------

// The ruler image has a leading edge, a middle and a trailing edge of EdgeSize pixels each end:
// the first piece is the leading edge with one middle, then whole middles, then the last R
// middle pixels with the trailing edge, so the ruler is exactly the control's length.
void TSlider::RebuildRuler() {
    const QImage& image = RulerImage();
    const QSize tileSize = LogicalSize(image);
    const bool horizontal = orientation_ == soHorizontal;
    const int width = horizontal ? std::max(0, this->width()) : tileSize.width();
    const int height = horizontal ? tileSize.height() : std::max(0, this->height());
    const int length = horizontal ? width : height;
    const int tile = horizontal ? tileSize.width() : tileSize.height();

    // Built at the tile's pixel density; the pieces below are placed in logical pixels and cut
    // from the tile in its own.
    const int ratio = image.isNull() ? 1 : qRound(image.devicePixelRatio());
    QImage ruler(width * ratio, height * ratio, QImage::Format_RGB32);
    ruler.setDevicePixelRatio(ratio);
    ruler.fill(kOlive);  // what no piece covers stays transparent
    if (!image.isNull() && length > 0) {
        QPainter painter(&ruler);
        const auto copy = [&](int to, int from, int count) {
            if (horizontal) {
                painter.drawImage(QRect(to, 0, count, height), image,
                                  QRect(from * ratio, 0, count * ratio, height * ratio));
            } else {
                painter.drawImage(QRect(0, to, width, count), image,
                                  QRect(0, from * ratio, width * ratio, count * ratio));
            }
        };
        const int edge = edgeSize_;
        const int middle = tile - 2 * edge;
        if (middle <= 0) {
            // A tile with no middle cannot be stretched: it is drawn once at the start.
            copy(0, 0, std::min(tile, length));
        } else {
            const int span = length - 2 * edge;
            const int pieces = span / middle + 1;
            const int rest = span % middle;
            for (int i = 0; i < pieces; ++i) {
                if (i == 0) {
                    copy(0, 0, tile - edge);
                } else if (i < pieces - 1) {
                    copy(edge + i * middle, edge, middle);
                } else {
                    copy(edge + i * middle, edge + middle - rest, edge + rest);
                }
            }
        }
    }
    rulerBitmap_ = ruler;
}

void TSlider::LayoutParts() {
    const int old = value_;
    RebuildRuler();
    const int rulerW = LogicalSize(rulerBitmap_).width();
    const int rulerH = LogicalSize(rulerBitmap_).height();
    const int thumbW = thumb_->width();
    const int thumbH = thumb_->height();
    // PointsRect is kept as left, top, width and height of the area right of or below the ruler.
    const auto points = [this](int left, int top, int right, int bottom) {
        pointsRect_ = QRect(left, top, right - left, bottom - top);
    };
    if (orientation_ == soHorizontal) {
        if (rulerH < thumbH) {
            thumb_->move(0, 0);
            rulerOrigin_ = QPoint(0, (thumbH - rulerH) / 2);
            points(rulerOrigin_.x(), thumbH + 1, rulerOrigin_.x() + rulerW, height() - 1);
        } else {
            thumb_->move(0, (rulerH - thumbH) / 2);
            rulerOrigin_ = QPoint(0, 0);
            points(rulerOrigin_.x(), rulerH + 1, rulerOrigin_.x() + rulerW, height() - 1);
        }
    } else {
        if (rulerW < thumbW) {
            thumb_->move(0, 0);
            rulerOrigin_ = QPoint((thumbW - rulerW) / 2, 0);
            points(thumbW + 1, rulerOrigin_.y(), width() - 1, rulerOrigin_.y() + rulerH);
        } else {
            thumb_->move((rulerW - thumbW) / 2, 0);
            rulerOrigin_ = QPoint(0, 0);
            points(rulerW + 1, rulerOrigin_.y(), width() - 1, rulerOrigin_.y() + rulerH);
        }
    }
    SetValue(old);
}

void TSlider::RefreshParts() {
    LayoutParts();
    update();
}

void TSlider::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    guarded([this] { RefreshParts(); }, this)();
}

// ---- painting -------------------------------------------------------------------------------

void TSlider::paintEvent(QPaintEvent*) {
    QPainter canvas(this);
    canvas_ = &canvas;
    if (rulerBitmap_.width() > 0) {
        rulerPiece_.Draw(canvas, rulerOrigin_.x(), rulerOrigin_.y(), QRect(), rulerBitmap_, kOlive);
    }
    if ((options_ & soShowFocus) && hasFocus_) {
        // The dotted focus frame, drawn by inverting every other pixel.
        canvas.save();
        QPen pen(Qt::white);
        pen.setDashPattern({1.0, 1.0});
        canvas.setPen(pen);
        canvas.setBrush(Qt::NoBrush);
        canvas.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        canvas.drawRect(rect().adjusted(2, 2, -3, -3));
        canvas.restore();
    }
    if (options_ & soShowPoints) {
        if (OnDrawPoints) {
            guarded(OnDrawPoints, this)(this);
        } else {
            DrawPoints(increment_, 3, 4);
        }
    }
    canvas_ = nullptr;
}

void TSlider::DrawPoints(int step, int height, int endHeight) {
    if (!canvas_ || step <= 0) {
        return;
    }
    const long long range = static_cast<long long>(maxValue_) - minValue_;
    const int travel = TravelLength();
    // Thin the ticks (every k-th) until they stand at least 3 pixels apart. The first k that
    // does it is found by bisection: the gap only grows with k, and a k past the range leaves
    // one tick, whose gap is the whole travel.
    const auto gapFits = [&](long long k) {
        const long long count = range / (k * step) + 1;
        const long long gap = count > 1 ? (travel - count) / (count - 1) : travel;
        return gap >= 3 || gap == travel;
    };
    long long high = range / step + 1;
    long long low = 1;
    if (travel <= 0) {
        low = high;  // no room: the first tick only
    }
    while (low < high) {
        const long long mid = low + (high - low) / 2;
        if (gapFits(mid)) {
            high = mid;
        } else {
            low = mid + 1;
        }
    }
    const long long stride = low * step;
    const QColor colour = palette().color(QPalette::WindowText);
    for (long long v = minValue_; v <= maxValue_; v += stride) {
        const int h = (v == minValue_ || v == maxValue_) ? endHeight : height;
        const int p = ValueToPosition(static_cast<int>(v));
        if (orientation_ == soHorizontal) {
            canvas_->fillRect(QRect(p + thumb_->width() / 2, pointsRect_.top(), 1, h), colour);
        } else {
            canvas_->fillRect(QRect(pointsRect_.left(), p + thumb_->height() / 2, h, 1), colour);
        }
    }
}

// ---- thumb drag -----------------------------------------------------------------------------

void TSlider::ThumbPressed(Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
    setFocus(Qt::MouseFocusReason);
    if (button != Qt::LeftButton) {
        return;
    }
    grabOffset_ = orientation_ == soHorizontal ? x : y;
    tracking_ = true;
    thumb_->SetDown(true);
    if (OnStartTracking) {
        OnStartTracking(this);
    }
}

void TSlider::ThumbDragged(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
    if (!tracking_) {
        return;
    }
    const QPoint at = mapFromGlobal(thumb_->mapToGlobal(QPoint(x, y)));
    MoveThumbTo((orientation_ == soHorizontal ? at.x() : at.y()) - grabOffset_);
}

void TSlider::ThumbReleased(Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    tracking_ = false;
    thumb_->SetDown(false);
    if (OnStopTracking) {
        OnStopTracking(this);
    }
}

// ---- track clicks with repeat ---------------------------------------------------------------

TSlider::TStepKind TSlider::HitRegion(int x, int y) const {
    if (orientation_ == soHorizontal) {
        if (x < thumb_->x()) {
            return skBackward;
        }
        if (x > thumb_->x() + thumb_->width()) {
            return skForward;
        }
    } else {
        if (y < thumb_->y()) {
            return skForward;
        }
        if (y > thumb_->y() + thumb_->height()) {
            return skBackward;
        }
    }
    return skNone;
}

// Steps snap to whole multiples of Increment counted from 0, not from MinValue.
void TSlider::StepTo(TStepKind kind) {
    const long long base = (static_cast<long long>(value_) / increment_) * increment_;
    switch (kind) {
        case skToMin:
            SetValue(minValue_);
            break;
        case skToMax:
            SetValue(maxValue_);
            break;
        case skForward:
            SetValue(ClampToInt(base + increment_));
            break;
        case skBackward:
            SetValue(ClampToInt(base - increment_));
            break;
        case skNone:
            break;
    }
}

// One step while the pointer is still beyond the thumb on the pressed side; the timer keeps
// running until the button is released, even after the thumb passed the pointer.
void TSlider::RepeatStep() {
    if (HitRegion(pressPoint_.x(), pressPoint_.y()) == pressRegion_) {
        StepTo(pressRegion_);
    }
    if (!repeatTimer_.isActive()) {
        repeatTimer_.start();
    }
}

void TSlider::StopRepeat() {
    if (repeatActive_) {
        repeatTimer_.stop();
        repeatActive_ = false;
    }
}

void TSlider::mousePressEvent(QMouseEvent* event) {
    guarded(
        [this, event] {
            const QPoint at = event->position().toPoint();
            clickPending_ = event->button() == Qt::LeftButton;
            if (OnMouseDown) {
                OnMouseDown(this, event->button(), event->modifiers(), at.x(), at.y());
            }
            if (event->button() == Qt::LeftButton) {
                setFocus(Qt::MouseFocusReason);
                repeatActive_ = true;
                pressPoint_ = at;
                pressRegion_ = HitRegion(at.x(), at.y());
                RepeatStep();
            }
        },
        this)();
}

// The second press of a double click reports itself but does not step.
void TSlider::mouseDoubleClickEvent(QMouseEvent* event) {
    guarded(
        [this, event] {
            const QPoint at = event->position().toPoint();
            if (event->button() == Qt::LeftButton && OnDblClick) {
                OnDblClick(this);
            }
            if (OnMouseDown) {
                OnMouseDown(this, event->button(), event->modifiers(), at.x(), at.y());
            }
        },
        this)();
}

void TSlider::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (repeatActive_) {
        pressPoint_ = at;
    }
    if (OnMouseMove) {
        guarded(OnMouseMove, this)(this, event->button(), event->modifiers(), at.x(), at.y());
    }
}

void TSlider::mouseReleaseEvent(QMouseEvent* event) {
    guarded(
        [this, event] {
            const QPoint at = event->position().toPoint();
            const bool click =
                clickPending_ && event->button() == Qt::LeftButton && rect().contains(at);
            clickPending_ = false;
            if (click && OnClick) {
                OnClick(this);
            }
            StopRepeat();
            if (OnMouseUp) {
                OnMouseUp(this, event->button(), event->modifiers(), at.x(), at.y());
            }
        },
        this)();
}

// ---- keys and focus -------------------------------------------------------------------------

void TSlider::keyPressEvent(QKeyEvent* event) {
    int key = event->key();
    const Qt::KeyboardModifiers shift = event->modifiers();
    guarded(
        [this, &key, shift] {
            if (!(shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
                const TStepKind kind = KeyStep(key, orientation_ == soHorizontal);
                if (kind != skNone) {
                    StepTo(kind);
                    key = 0;  // used here: the key-down event sees key 0
                } else if (key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
                    // The arrows only step the value; a page drags the thumb, so the owner's
                    // tracking handlers run and the keyboard can do what the mouse does.
                    const long long step = key == Qt::Key_PageUp ? PageStep() : -PageStep();
                    DragTo(ClampToInt(value_ + step));
                    key = 0;
                }
            }
            if (OnKeyDown) {
                OnKeyDown(this, key, shift);
            }
        },
        this)();
    if (key == 0) {
        event->accept();
    } else {
        QWidget::keyPressEvent(event);
    }
}

void TSlider::keyReleaseEvent(QKeyEvent* event) {
    int key = event->key();
    if (OnKeyUp) {
        guarded(OnKeyUp, this)(this, key, event->modifiers());
    }
    if (key == 0) {
        event->accept();
    } else {
        QWidget::keyReleaseEvent(event);
    }
}

void TSlider::FocusChanged(bool focused) {
    if (focused != hasFocus_) {
        hasFocus_ = focused;
        if (options_ & soShowFocus) {
            update();
        }
    }
    const TNotifyEvent& handler = focused ? OnEnter : OnExit;
    if (handler) {
        guarded(handler, this)(this);
    }
}

void TSlider::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    FocusChanged(true);
}

void TSlider::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    FocusChanged(false);
}
