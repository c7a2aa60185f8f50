#pragma once

#include "controls/tvalueaccessible.h"

class TSlider;

// A TSlider as assistive technologies see it: a slider with its value, range and step, and
// increase and decrease actions. A value set through the interface, and each action, moves the
// thumb as a drag does (so the position slider seeks), on the next turn of the event loop: a
// message box its handlers may raise then doesn't hold the caller's request open. The thumb is
// part of the slider, not a child of its own.
class TSliderAccessible : public TValueAccessible {
public:
    explicit TSliderAccessible(TSlider* slider);

    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text type) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

private:
    TSlider* Slider() const;
    void DragLater(int value) const;
};
