#include "controls/tslideraccessible.h"
#include "controls/tslider.h"
#include "tests/support/qtestapplication.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QCoreApplication>
#include <QKeyEvent>

#include <functional>
#include <string>

namespace {

class TSliderAccessibleTest : public ::testing::Test {
protected:
    void SetUp() override {
        slider.resize(140, 40);
        slider.show();
        slider.SetMaxValue(1000);
        slider.SetValue(500);
        slider.OnStartTracking = [this](TSlider*) { events += "start "; };
        slider.OnChange = [this](TSlider* s) { events += std::to_string(s->Value()) + " "; };
        slider.OnStopTracking = [this](TSlider*) { events += "stop"; };
    }

    QAccessibleInterface* Interface() { return QAccessible::queryAccessibleInterface(&slider); }

    QApplication& application = TestApplication();  // before the slider
    TSlider slider;
    std::string events;
};

TEST_F(TSliderAccessibleTest, ASliderWithItsValueRangeAndStepAndNoChildren) {
    QAccessibleInterface* access = Interface();
    ASSERT_NE(access, nullptr);
    EXPECT_EQ(access->role(), QAccessible::Slider);
    EXPECT_EQ(access->childCount(), 0) << "the thumb is part of the slider";
    EXPECT_EQ(access->text(QAccessible::Value), QStringLiteral("500"));
    QAccessibleValueInterface* value = access->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->currentValue().toInt(), 500);
    EXPECT_EQ(value->minimumValue().toInt(), 0);
    EXPECT_EQ(value->maximumValue().toInt(), 1000);
    EXPECT_EQ(value->minimumStepSize().toInt(), 10);
    EXPECT_TRUE(access->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::increaseAction()));
}

TEST_F(TSliderAccessibleTest, TheInterfaceAndThePageKeysDragTheThumb) {
    const auto key = [this](int code, Qt::KeyboardModifiers modifiers) {
        return [this, code, modifiers] {
            QKeyEvent event(QEvent::KeyPress, code, modifiers);
            QCoreApplication::sendEvent(&slider, &event);
        };
    };
    const auto setValue = [this](QVariant value) {
        return [this, value] { Interface()->valueInterface()->setCurrentValue(value); };
    };
    const auto action = [this](QString name) {
        return [this, name] { Interface()->actionInterface()->doAction(name); };
    };
    const struct {
        const char* what;
        std::function<void()> act;
        bool enabled;
        int value;
        std::string events;
    } cases[] = {
        {"set value", setValue(730), true, 730, "start 730 stop"},
        {"set past the end", setValue(1e12), true, 1000, "start 1000 stop"},
        {"set below the start", setValue(-5), true, 0, "start 0 stop"},
        {"set no number", setValue(QStringLiteral("x")), true, 500, ""},
        {"set while disabled", setValue(730), false, 500, ""},
        {"increase", action(QAccessibleActionInterface::increaseAction()), true, 600,
         "start 600 stop"},
        {"decrease", action(QAccessibleActionInterface::decreaseAction()), true, 400,
         "start 400 stop"},
        {"Page Up", key(Qt::Key_PageUp, Qt::NoModifier), true, 600, "start 600 stop"},
        {"Page Down", key(Qt::Key_PageDown, Qt::NoModifier), true, 400, "start 400 stop"},
        {"Shift+Page Up", key(Qt::Key_PageUp, Qt::ShiftModifier), true, 500, ""},
    };
    for (const auto& c : cases) {
        slider.setEnabled(c.enabled);
        slider.SetValue(500);
        events.clear();
        c.act();
        QCoreApplication::processEvents();  // the interface drags on the next turn
        EXPECT_EQ(slider.Value(), c.value) << c.what;
        EXPECT_EQ(events, c.events) << c.what;
    }
}

}  // namespace
