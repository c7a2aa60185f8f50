#include "controls/tslider.h"
#include "tests/support/qtestapplication.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QTimerEvent>

#include <string>
#include <utility>
#include <vector>

namespace {

class TSliderTest : public ::testing::Test {
protected:
    void SetUp() override { TestApplication(); }
};

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

void SendKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(widget, &event);
}

// Lays the slider out at that size: a widget learns its size when shown, as in a window.
void ShowSized(QWidget& widget, int width, int height) {
    widget.resize(width, height);
    widget.show();
}

// Drags the thumb with the left button so that its left edge would land on pixel x.
void DragThumbTo(TSlider& slider, int x) {
    TSliderThumb* thumb = slider.Thumb();
    const QPoint grab(4, 5);
    SendMouse(thumb, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    const QPoint target = thumb->mapFrom(&slider, QPoint(x + grab.x(), grab.y()));
    SendMouse(thumb, QEvent::MouseMove, target, Qt::NoButton, Qt::LeftButton);
    SendMouse(thumb, QEvent::MouseButtonRelease, target, Qt::LeftButton, Qt::NoButton);
}

TEST_F(TSliderTest, LayoutCentresTheNarrowerPartAndPutsTicksBesideTheWider) {
    struct Case {
        TSliderOrientation orientation;
        QSize thumbImage;  // empty: the default thumb
        QPoint thumb;      // at value 0
        QPoint rulerOrigin;
        QPoint pointsTopLeft;
        int travel;
    };
    for (const Case& c : {
             Case{soHorizontal, QSize(), QPoint(0, 0), QPoint(0, 3), QPoint(0, 18), 131},
             Case{soHorizontal, QSize(22, 11), QPoint(0, 0), QPoint(0, 0), QPoint(0, 12), 129},
             Case{soHorizontal, QSize(16, 6), QPoint(0, 2), QPoint(0, 0), QPoint(0, 11), 132},
             Case{soVertical, QSize(), QPoint(0, 131), QPoint(4, 0), QPoint(18, 0), 131},
         }) {
        TSlider slider;
        ShowSized(slider, c.orientation == soHorizontal ? 140 : 40,
                  c.orientation == soHorizontal ? 40 : 140);
        slider.SetOrientation(c.orientation);
        if (!c.thumbImage.isEmpty()) {
            QImage own(c.thumbImage, QImage::Format_RGB32);
            own.fill(Qt::red);
            slider.SetImageHThumb(own);
        }
        EXPECT_EQ(slider.Thumb()->pos(), c.thumb) << c.thumbImage.width();
        EXPECT_EQ(slider.RulerOrigin(), c.rulerOrigin) << c.thumbImage.width();
        EXPECT_EQ(slider.PointsRect().topLeft(), c.pointsTopLeft) << c.thumbImage.width();
        EXPECT_EQ(slider.TravelLength(), c.travel) << c.thumbImage.width();
    }
}

TEST_F(TSliderTest, ValuesMapToPixelsWithExactProductsAndHalvesToEven) {
    struct Case {
        int min, max, width, value, position, back;  // back: the value of that position
    };
    // Travel is width - 9 (the default thumb).
    for (const Case& c : {
             Case{0, 100, 140, 50, 66, 50},                        // 65.5 -> 66
             Case{0, 100, 140, 100, 131, 100},                     // the far end
             Case{0, 10800000, 326, 5400000, 158, 5382965},        // 158.5 -> 158
             Case{0, 10800000, 326, 10800000, 317, 10800000},      // no overflow
             Case{-100, 100, 109, 0, 50, 0},                       // negative minimum
             Case{-2147483647, 2147483647, 140, 0, 66, 16393005},  // widest: 65.5 -> 66
         }) {
        TSlider slider;
        ShowSized(slider, c.width, 40);
        slider.SetMaxValue(c.max);
        slider.SetMinValue(c.min);
        EXPECT_EQ(slider.ValueToPosition(c.value), c.position) << c.max << " " << c.value;
        EXPECT_EQ(slider.PositionToValue(c.position), c.back) << c.max << " " << c.value;
        slider.SetValue(c.value);
        EXPECT_EQ(slider.Thumb()->x(), c.position);
    }
}

TEST_F(TSliderTest, SettersKeepTheirRulesAndChangeFiresOnlyOnARealChange) {
    TSlider slider;
    std::vector<int> changes;
    slider.OnChange = [&](TSlider* sender) { changes.push_back(sender->Value()); };

    struct Step {
        int set;
        int stored;
        bool fires;
    };
    for (const Step& s : {Step{150, 100, true}, Step{150, 100, false}, Step{100, 100, false},
                          Step{-5, 0, true}, Step{42, 42, true}}) {
        const auto before = changes.size();
        slider.SetValue(s.set);
        EXPECT_EQ(slider.Value(), s.stored) << s.set;
        EXPECT_EQ(changes.size() - before, s.fires ? 1u : 0u) << s.set;
    }

    slider.SetMinValue(95);  // above MaxValue - Increment
    EXPECT_EQ(slider.MinValue(), 0);
    slider.SetMaxValue(5);  // below MinValue + Increment
    EXPECT_EQ(slider.MaxValue(), 100);
    slider.SetMinValue(90);
    EXPECT_EQ(slider.MinValue(), 90);
    EXPECT_EQ(slider.Value(), 42);  // not re-clamped by a new range
    slider.SetMinValue(0);
    slider.SetIncrement(0);
    slider.SetIncrement(-3);
    EXPECT_EQ(slider.Increment(), 10);
    slider.SetEdgeSize(5);  // 2 * 5 is not below the ruler tile's 10 pixels
    slider.SetEdgeSize(-1);
    EXPECT_EQ(slider.EdgeSize(), 2);
    slider.SetEdgeSize(4);
    EXPECT_EQ(slider.EdgeSize(), 4);
}

TEST_F(TSliderTest, StepsSnapToMultiplesOfTheIncrementCountedFromZero) {
    struct Case {
        int from;
        TSlider::TStepKind kind;
        int to;
    };
    for (const Case& c : {Case{15, TSlider::skForward, 20}, Case{15, TSlider::skBackward, 0},
                          Case{-5, TSlider::skForward, 10}, Case{-5, TSlider::skBackward, -10},
                          Case{95, TSlider::skForward, 100}, Case{-95, TSlider::skBackward, -100},
                          Case{37, TSlider::skToMin, -100}, Case{37, TSlider::skToMax, 100},
                          Case{37, TSlider::skNone, 37}}) {
        TSlider slider;
        slider.SetMinValue(-100);
        slider.SetValue(c.from);
        slider.StepTo(c.kind);
        EXPECT_EQ(slider.Value(), c.to) << c.from << " kind " << c.kind;
    }
}

TEST_F(TSliderTest, DraggingSnapsToIncrementsUnlessSmooth) {
    for (const bool smooth : {false, true}) {
        TSlider slider;
        slider.SetOptions(smooth ? TSliderOptions(soSmooth) : TSliderOptions());
        if (smooth) {
            slider.SetMaxValue(1000);
        }
        int starts = 0;
        int stops = 0;
        slider.OnStartTracking = [&](TSlider*) { ++starts; };
        slider.OnStopTracking = [&](TSlider* sender) {
            ++stops;
            EXPECT_FALSE(sender->Tracking());
        };
        int previous = -1;
        for (int x = 0; x <= slider.TravelLength(); ++x) {
            DragThumbTo(slider, x);
            const int value = slider.Value();
            if (smooth) {
                EXPECT_EQ(slider.Thumb()->x(), x);
                EXPECT_GT(value, previous) << "pixel " << x;  // every pixel its own value
            } else {
                EXPECT_EQ(value % 10, 0) << "pixel " << x;
                EXPECT_EQ(slider.Thumb()->x(), slider.ValueToPosition(value));
            }
            previous = value;
        }
        EXPECT_EQ(slider.Value(), smooth ? 1000 : 100);
        EXPECT_EQ(starts, slider.TravelLength() + 1);
        EXPECT_EQ(stops, starts);
        EXPECT_FALSE(slider.Thumb()->Down());
    }
}

TEST_F(TSliderTest, DragFiresChangeForEachNewValueAndPressesTheThumb) {
    TSlider slider;
    std::vector<int> changes;
    slider.OnChange = [&](TSlider* sender) { changes.push_back(sender->Value()); };
    TSliderThumb* thumb = slider.Thumb();
    SendMouse(thumb, QEvent::MouseButtonPress, QPoint(2, 2), Qt::LeftButton, Qt::LeftButton);
    EXPECT_TRUE(slider.Tracking());
    EXPECT_TRUE(thumb->Down());
    for (const int x : {20, 20, 200, -50}) {
        SendMouse(thumb, QEvent::MouseMove, thumb->mapFrom(&slider, QPoint(x + 2, 2)), Qt::NoButton,
                  Qt::LeftButton);
    }
    SendMouse(thumb, QEvent::MouseButtonRelease, QPoint(2, 2), Qt::LeftButton, Qt::NoButton);
    // 20 px of 131 is 15.27 -> 15; past either end clamps to the end.
    EXPECT_EQ(changes, (std::vector<int>{15, 100, 0}));
    EXPECT_FALSE(slider.Tracking());

    // A right-button press only takes the focus; it starts no drag.
    int starts = 0;
    slider.OnStartTracking = [&](TSlider*) { ++starts; };
    SendMouse(thumb, QEvent::MouseButtonPress, QPoint(2, 2), Qt::RightButton, Qt::RightButton);
    EXPECT_EQ(starts, 0);
    EXPECT_FALSE(slider.Tracking());
}

TEST_F(TSliderTest, HoldingTheButtonOnTheTrackRepeatsUntilTheThumbPassesThePointer) {
    TSlider slider;
    std::vector<int> changes;
    slider.OnChange = [&](TSlider* sender) { changes.push_back(sender->Value()); };
    auto* timer = slider.findChild<QTimer*>(QStringLiteral("RepeatTimer"));
    ASSERT_NE(timer, nullptr);

    SendMouse(&slider, QEvent::MouseButtonPress, QPoint(100, 30), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(slider.Value(), 10);  // one step at once
    EXPECT_TRUE(slider.RepeatActive());
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 400);
    for (int tick = 0; tick < 10; ++tick) {
        QTimerEvent event(timer->timerId());
        QCoreApplication::sendEvent(timer, &event);
    }
    // At 70 the thumb (92..101) covers pixel 100: stepping stops, the timer runs on.
    EXPECT_EQ(changes, (std::vector<int>{10, 20, 30, 40, 50, 60, 70}));
    EXPECT_TRUE(timer->isActive());
    SendMouse(&slider, QEvent::MouseButtonRelease, QPoint(100, 30), Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(timer->isActive());
    EXPECT_FALSE(slider.RepeatActive());

    // Left of the thumb steps backward.
    SendMouse(&slider, QEvent::MouseButtonPress, QPoint(1, 30), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(slider.Value(), 60);
    SendMouse(&slider, QEvent::MouseButtonRelease, QPoint(1, 30), Qt::LeftButton, Qt::NoButton);
}

TEST_F(TSliderTest, KeysStepInBothOrientationsAndShiftedKeysAreLeftAlone) {
    struct Case {
        TSliderOrientation orientation;
        int key;
        Qt::KeyboardModifiers modifiers;
        int value;  // from 50
        int seen;   // the key OnKeyDown receives
    };
    const auto none = Qt::NoModifier;
    for (const Case& c : {
             Case{soHorizontal, Qt::Key_Home, none, 0, 0},
             Case{soHorizontal, Qt::Key_End, none, 100, 0},
             Case{soHorizontal, Qt::Key_Right, none, 60, 0},
             Case{soHorizontal, Qt::Key_Left, none, 40, 0},
             Case{soHorizontal, Qt::Key_Up, none, 50, Qt::Key_Up},
             Case{soVertical, Qt::Key_Up, none, 60, 0},
             Case{soVertical, Qt::Key_Down, none, 40, 0},
             Case{soVertical, Qt::Key_Home, none, 0, 0},
             Case{soVertical, Qt::Key_End, none, 100, 0},
             Case{soVertical, Qt::Key_Right, none, 50, Qt::Key_Right},
             Case{soHorizontal, Qt::Key_Right, Qt::ShiftModifier, 50, Qt::Key_Right},
             Case{soHorizontal, Qt::Key_End, Qt::ControlModifier, 50, Qt::Key_End},
             Case{soVertical, Qt::Key_Up, Qt::AltModifier, 50, Qt::Key_Up},
         }) {
        TSlider slider;
        ShowSized(slider, 40, 140);
        slider.SetOrientation(c.orientation);
        slider.SetValue(50);
        int seen = -1;
        slider.OnKeyDown = [&](TSlider*, int& key, Qt::KeyboardModifiers) { seen = key; };
        SendKey(&slider, c.key, c.modifiers);
        EXPECT_EQ(slider.Value(), c.value) << c.orientation << " key " << c.key;
        EXPECT_EQ(seen, c.seen) << c.orientation << " key " << c.key;
    }
}

TEST_F(TSliderTest, TickMarksAreThinnedUntilThreePixelsApartWithLongerEnds) {
    // The columns are worked out by hand from the rules, for the default 9-pixel thumb: a tick
    // stands at the value's position plus 4, every k-th value kept until the ticks are at least
    // 3 pixels apart, the last one only when the range is a multiple of the kept step.
    struct Case {
        int width, min, max, increment;
        int step;  // between the values that keep a tick
        std::vector<int> columns;
    };
    const Case cases[] = {
        {140, 0, 100, 10, 10, {4, 17, 30, 43, 56, 70, 83, 96, 109, 122, 135}},
        {40, 0, 100, 10, 20, {4, 10, 16, 23, 29, 35}},
        {20, 0, 100, 10, 40, {4, 8, 13}},  // 100 is no multiple of 40: no tick at the end
        {30, 0, 100, 10, 20, {4, 8, 12, 17, 21, 25}},
        {326, 0, 10800000, 10, 135010, {4,   8,   12,  16,  20,  24,  28,  32,  36,  40,  44,  48,
                                        52,  56,  59,  63,  67,  71,  75,  79,  83,  87,  91,  95,
                                        99,  103, 107, 111, 115, 119, 123, 127, 131, 135, 139, 143,
                                        147, 151, 155, 159, 163, 166, 170, 174, 178, 182, 186, 190,
                                        194, 198, 202, 206, 210, 214, 218, 222, 226, 230, 234, 238,
                                        242, 246, 250, 254, 258, 262, 266, 270, 273, 277, 281, 285,
                                        289, 293, 297, 301, 305, 309, 313, 317}},
        {140,
         -50,
         73,
         7,
         7,
         {4, 11, 19, 26, 34, 41, 49, 56, 64, 71, 79, 86, 93, 101, 108, 116, 123, 131}},
        {12, 0, 100, 10, 110, {4}},
    };
    for (const Case& c : cases) {
        TSlider slider;
        ShowSized(slider, c.width, 40);
        slider.SetMaxValue(c.max);
        slider.SetMinValue(c.min);
        slider.SetIncrement(c.increment);
        slider.setPalette(QPalette(Qt::white));
        const QImage shot = slider.grab().toImage();
        const QRgb ink = slider.palette().color(QPalette::WindowText).rgb();
        const int top = slider.PointsRect().top();

        std::vector<int> inked;
        for (int x = 0; x < shot.width(); ++x) {
            if (shot.pixel(x, top) == ink) {
                inked.push_back(x);
            }
        }
        EXPECT_EQ(inked, c.columns) << "width " << c.width;
        for (std::size_t i = 0; i < c.columns.size(); ++i) {
            const int v = c.min + static_cast<int>(i) * c.step;
            int length = 0;
            while (top + length < shot.height() && shot.pixel(c.columns[i], top + length) == ink) {
                ++length;
            }
            EXPECT_EQ(length, (v == c.min || v == c.max) ? 4 : 3) << c.width << " value " << v;
        }
    }
}

TEST_F(TSliderTest, FocusFrameAndTickHandlerFollowTheOptions) {
    for (const bool showFocus : {true, false}) {
        TSlider slider;
        slider.setPalette(QPalette(Qt::white));
        slider.SetOptions(showFocus ? TSliderOptions(soShowFocus | soShowPoints)
                                    : TSliderOptions(soShowPoints));
        int drawn = 0;
        slider.OnDrawPoints = [&](TSlider* sender) {
            ASSERT_NE(sender->Canvas(), nullptr);
            ++drawn;
        };
        ShowSized(slider, 140, 40);
        QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
        QCoreApplication::sendEvent(&slider, &in);
        EXPECT_TRUE(slider.HasFocus());
        const QImage shot = slider.grab().toImage();
        const QRgb background = slider.palette().color(QPalette::Window).rgb();
        // The dotted frame 2 pixels in: every other pixel of its top edge inverted.
        int inverted = 0;
        for (int x = 10; x < 138; ++x) {  // right of the thumb
            inverted += shot.pixel(x, 2) != background ? 1 : 0;
        }
        EXPECT_EQ(inverted, showFocus ? 64 : 0);
        // The handler replaces the default ticks.
        EXPECT_GE(drawn, 1);
        EXPECT_EQ(shot.pixel(slider.Thumb()->width() / 2, slider.PointsRect().top()), background);
        EXPECT_EQ(slider.Canvas(), nullptr);
    }
}

TEST_F(TSliderTest, RulerIsTiledFromEdgesAndMiddleToTheControlsLength) {
    // A tile whose every column has its own colour shows where each ruler column came from.
    QImage tile(10, 4, QImage::Format_RGB32);
    for (int x = 0; x < tile.width(); ++x) {
        for (int y = 0; y < tile.height(); ++y) {
            tile.setPixel(x, y, qRgb(x * 20, 10, 200));
        }
    }
    const auto sourceColumn = [&](int ruler) { return qRed(ruler) / 20; };
    // Each ruler column's tile column, one digit each, worked out by hand: the leading edge and
    // one middle, whole middles, then the last rest of a middle and the trailing edge.
    struct Case {
        int width, edge;
        const char* columns;
    };
    const Case cases[] = {
        {140, 2,
         "01234567234567234567234567234567234567234567234567234567234567234567"
         "234567234567234567234567234567234567234567234567234567234567234567456789"},
        {14, 2, "01234567456789"},
        {8, 2, "01234567"},  // one piece: no trailing edge
        {23, 3, "01234563456345634566789"},
        {140, 0,
         "01234567890123456789012345678901234567890123456789012345678901234567"
         "890123456789012345678901234567890123456789012345678901234567890123456789"},
        {11, 4, "01234556789"},
    };
    for (const Case& c : cases) {
        TSlider slider;
        ShowSized(slider, c.width, 40);
        slider.SetImageHRuler(tile);
        slider.SetEdgeSize(c.edge);
        const QImage ruler = slider.RulerBitmap().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(ruler.size(), QSize(c.width, 4));
        std::string columns;
        for (int x = 0; x < c.width; ++x) {
            columns += static_cast<char>('0' + sourceColumn(ruler.pixel(x, 1)));
        }
        EXPECT_EQ(columns, c.columns) << "width " << c.width << " edge " << c.edge;
    }
}

TEST_F(TSliderTest, OliveIsLeftOutWhenThumbAndRulerAreDrawn) {
    QImage picture(2, 1, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(0x80, 0x80, 0x00));
    picture.setPixel(1, 0, qRgb(0xFF, 0x00, 0x00));
    QImage canvas(3, 1, QImage::Format_RGB32);
    canvas.fill(Qt::blue);
    {
        QPainter painter(&canvas);
        TSliderThumb::DrawTransparentBitmap(painter, 1, 0, QRect(), picture,
                                            QColor(0x80, 0x80, 0x00));
    }
    EXPECT_EQ(canvas.pixel(0, 0), qRgb(0, 0, 0xFF));
    EXPECT_EQ(canvas.pixel(1, 0), qRgb(0, 0, 0xFF));
    EXPECT_EQ(canvas.pixel(2, 0), qRgb(0xFF, 0, 0));

    // The thumb shows its left half normally and its right half when pressed.
    QImage states(4, 1, QImage::Format_RGB32);
    for (int x = 0; x < 4; ++x) {
        states.setPixel(x, 0, x < 2 ? qRgb(0, 0xFF, 0) : qRgb(0xFF, 0, 0xFF));
    }
    TSliderThumb thumb;
    thumb.SetBitmap(states);
    EXPECT_EQ(thumb.size(), QSize(2, 1));
    EXPECT_EQ(thumb.grab().toImage().pixel(0, 0), qRgb(0, 0xFF, 0));
    thumb.SetDown(true);
    EXPECT_EQ(thumb.grab().toImage().pixel(1, 0), qRgb(0xFF, 0, 0xFF));
    // The picture kept between paints follows a new image.
    states.fill(qRgb(0, 0, 0xFF));
    thumb.SetBitmap(states);
    EXPECT_EQ(thumb.grab().toImage().pixel(1, 0), qRgb(0, 0, 0xFF));
    thumb.SetNumStates(1);
    EXPECT_EQ(thumb.size(), QSize(4, 1));
}

TEST_F(TSliderTest, OnlyTheSuppliedThumbCountsAsAUserImageAndSurvivesLoading) {
    QImage own(22, 11, QImage::Format_RGB32);
    own.fill(Qt::red);

    TSlider slider;
    slider.SetImageHThumb(own);
    EXPECT_EQ(slider.UserImages(), 0x01);
    EXPECT_EQ(slider.Thumb()->size(), QSize(11, 11));
    EXPECT_EQ(slider.ImageHRuler().size(), QSize(10, 10));  // the defaults stay
    EXPECT_EQ(slider.ImageVThumb().size(), QSize(34, 9));
    EXPECT_EQ(slider.ImageVRuler().size(), QSize(8, 10));

    // A slider read back from its stored byte rebuilds from the loaded images.
    TSlider loaded;
    loaded.SetValue(50);
    loaded.SetImageHThumb(own);
    loaded.SetUserImages(slider.UserImages());
    loaded.Loaded();
    EXPECT_EQ(loaded.UserImages(), 0x01);
    EXPECT_EQ(loaded.Thumb()->size(), QSize(11, 11));
    EXPECT_EQ(loaded.Thumb()->x(), loaded.ValueToPosition(50));

    slider.SetImageHThumb(QImage());  // back to the default
    EXPECT_EQ(slider.UserImages(), 0);
    EXPECT_EQ(slider.Thumb()->size(), QSize(9, 17));
}

TEST_F(TSliderTest, ControlsNoLongerThanTheirThumbDoNotFail) {
    for (const int width : {0, 5, 9}) {
        TSlider slider;
        ShowSized(slider, width, 40);
        slider.SetValue(70);
        EXPECT_EQ(slider.Value(), 70);
        EXPECT_EQ(slider.Thumb()->x(), 0);
        EXPECT_EQ(slider.PositionToValue(3), 0);
        slider.grab();  // paints the ticks without dividing by zero
    }
}

TEST_F(TSliderTest, PicturesAtTwiceTheSizeKeepTheLayoutAndDoubleTheRulersPixels) {
    for (const TSliderOrientation orientation : {soHorizontal, soVertical}) {
        TSlider normal;
        TSlider fine;
        for (TSlider* slider : {&normal, &fine}) {
            ShowSized(*slider, orientation == soHorizontal ? 140 : 40,
                      orientation == soHorizontal ? 40 : 140);
            slider->SetOrientation(orientation);
        }
        // The defaults drawn at twice the size; Qt reads an "@2x" name at pixel ratio 2.
        for (const auto& [index, name] :
             {std::pair{TSlider::ImgHThumb, "W95_HTB"}, std::pair{TSlider::ImgHRuler, "W95_HRL"},
              std::pair{TSlider::ImgVThumb, "W95_VTB"}, std::pair{TSlider::ImgVRuler, "W95_VRL"}}) {
            const QImage image(QStringLiteral(":/controls/%1@2x.png").arg(QLatin1String(name)));
            ASSERT_EQ(image.devicePixelRatio(), 2.0) << name;
            fine.SetImage(index, image);
        }
        normal.SetValue(50);
        fine.SetValue(50);
        EXPECT_EQ(fine.Thumb()->geometry(), normal.Thumb()->geometry()) << orientation;
        EXPECT_EQ(fine.TravelLength(), normal.TravelLength()) << orientation;
        EXPECT_EQ(fine.RulerOrigin(), normal.RulerOrigin()) << orientation;
        EXPECT_EQ(fine.PointsRect(), normal.PointsRect()) << orientation;
        // The default pictures are pixel art doubled, so the ruler is the small one doubled.
        const QImage doubled = normal.RulerBitmap().scaled(normal.RulerBitmap().size() * 2);
        EXPECT_EQ(fine.RulerBitmap().convertToFormat(QImage::Format_RGB32),
                  doubled.convertToFormat(QImage::Format_RGB32))
            << orientation;
    }
}

}  // namespace
