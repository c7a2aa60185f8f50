#include "controls/tslideraccessible.h"

#include <QKeySequence>
#include <QTimer>

#include <climits>

#include "controls/tslider.h"

TSliderAccessible::TSliderAccessible(TSlider* slider)
    : TValueAccessible(slider, QAccessible::Slider) {}

TSlider* TSliderAccessible::Slider() const {
    return static_cast<TSlider*>(widget());
}

QString TSliderAccessible::text(QAccessible::Text type) const {
    if (type == QAccessible::Value) {
        return QString::number(Slider()->Value());
    }
    return QAccessibleWidget::text(type);
}

QVariant TSliderAccessible::currentValue() const {
    return Slider()->Value();
}

void TSliderAccessible::setCurrentValue(const QVariant& value) {
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok || !Slider()->isEnabled()) {
        return;
    }
    // Within the range first, so a far-off number can't overflow the conversion.
    DragLater(static_cast<int>(qBound<double>(Slider()->MinValue(), number, Slider()->MaxValue())));
}

QVariant TSliderAccessible::maximumValue() const {
    return Slider()->MaxValue();
}

QVariant TSliderAccessible::minimumValue() const {
    return Slider()->MinValue();
}

QVariant TSliderAccessible::minimumStepSize() const {
    return Slider()->Increment();
}

QStringList TSliderAccessible::actionNames() const {
    QStringList names = QAccessibleWidget::actionNames();
    if (Slider()->isEnabled()) {
        names << increaseAction() << decreaseAction();
    }
    return names;
}

void TSliderAccessible::doAction(const QString& actionName) {
    if (!Slider()->isEnabled()) {
        return;
    }
    const long long value = Slider()->Value();
    if (actionName == increaseAction()) {
        DragLater(static_cast<int>(qMin<long long>(value + Slider()->PageStep(), INT_MAX)));
    } else if (actionName == decreaseAction()) {
        DragLater(static_cast<int>(qMax<long long>(value - Slider()->PageStep(), INT_MIN)));
    } else {
        QAccessibleWidget::doAction(actionName);
    }
}

QStringList TSliderAccessible::keyBindingsForAction(const QString& actionName) const {
    if (actionName == increaseAction()) {
        return {QKeySequence(Qt::Key_PageUp).toString()};
    }
    if (actionName == decreaseAction()) {
        return {QKeySequence(Qt::Key_PageDown).toString()};
    }
    return QAccessibleWidget::keyBindingsForAction(actionName);
}

void TSliderAccessible::DragLater(int value) const {
    // Dropped if the slider is gone by then.
    QTimer::singleShot(0, Slider(), [slider = Slider(), value] { slider->DragTo(value); });
}
