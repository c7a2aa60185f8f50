#include "app/tgaugeaccessible.h"

#include "app/tgauge.h"

TGaugeAccessible::TGaugeAccessible(TGauge* gauge)
    : QAccessibleWidget(gauge, QAccessible::ProgressBar) {}

QAccessibleInterface* TGaugeAccessible::Factory(const QString& className, QObject* object) {
    if (className == QLatin1String("TGauge")) {
        if (auto* gauge = qobject_cast<TGauge*>(object)) {
            return new TGaugeAccessible(gauge);
        }
    }
    return nullptr;
}

TGauge* TGaugeAccessible::Gauge() const {
    return static_cast<TGauge*>(widget());
}

void* TGaugeAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface) {
        return static_cast<QAccessibleValueInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QString TGaugeAccessible::text(QAccessible::Text type) const {
    if (type == QAccessible::Value) {
        return Gauge()->Text();
    }
    return QAccessibleWidget::text(type);
}

QVariant TGaugeAccessible::currentValue() const {
    return Gauge()->Progress();
}

QVariant TGaugeAccessible::maximumValue() const {
    return Gauge()->MaxValue();
}

QVariant TGaugeAccessible::minimumValue() const {
    return Gauge()->MinValue();
}
