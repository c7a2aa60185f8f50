#pragma once

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
#include <QLatin1String>

// What the program's own controls with a value share as assistive technologies see them: a
// widget interface that also answers for the value interface, and the factory that makes one.
class TValueAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    using QAccessibleWidget::QAccessibleWidget;

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) {
            return static_cast<QAccessibleValueInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    // For QAccessible::installFactory: an Interface for a Control, null for anything else.
    template <typename Control, typename Interface>
    static QAccessibleInterface* Factory(const QString& className, QObject* object) {
        if (className == QLatin1String(Control::staticMetaObject.className())) {
            if (auto* control = qobject_cast<Control*>(object)) {
                return new Interface(control);
            }
        }
        return nullptr;
    }
};
