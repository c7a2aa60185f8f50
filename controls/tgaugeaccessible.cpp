#include "controls/tgaugeaccessible.h"

#include "controls/tgauge.h"

TGaugeAccessible::TGaugeAccessible(TGauge* gauge)
    : TValueAccessible(gauge, QAccessible::ProgressBar) {}

TGauge* TGaugeAccessible::Gauge() const {
    return static_cast<TGauge*>(widget());
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
