#pragma once

#include "controls/tvalueaccessible.h"

class TGauge;

// A TGauge as assistive technologies see it: a progress bar whose value is its progress and
// whose value text is the percentage it shows. It is read only.
class TGaugeAccessible : public TValueAccessible {
public:
    explicit TGaugeAccessible(TGauge* gauge);

    QString text(QAccessible::Text type) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override { return 0; }

private:
    TGauge* Gauge() const;
};
