#include "controls/tgauge.h"

#include <QAccessible>
#include <QPainter>

#include <algorithm>

#include "controls/tgaugeaccessible.h"

TGauge::TGauge(QWidget* parent) : QWidget(parent) {
    static const bool accessible =
        (QAccessible::installFactory(&TValueAccessible::Factory<TGauge, TGaugeAccessible>), true);
    Q_UNUSED(accessible);
}

void TGauge::SetRange(int minValue, int maxValue) {
    minValue_ = minValue;
    maxValue_ = std::max(minValue, maxValue);
    SetProgress(progress_);
}

void TGauge::SetProgress(int progress) {
    progress = std::clamp(progress, minValue_, maxValue_);
    if (progress != progress_) {
        progress_ = progress;
        update();
        if (QAccessible::isActive()) {
            QAccessibleValueChangeEvent event(this, progress_);
            QAccessible::updateAccessibility(&event);
        }
    }
}

int TGauge::PercentDone() const {
    const long long span = static_cast<long long>(maxValue_) - minValue_;
    return span == 0 ? 0 : static_cast<int>((progress_ - minValue_) * 100LL / span);
}

QString TGauge::Text() const {
    return QString::asprintf("%d%%", PercentDone());
}

void TGauge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect inner = rect().adjusted(1, 1, -1, -1);
    painter.fillRect(rect(), Qt::black);
    painter.fillRect(inner, BackColor);
    QRect bar = inner;
    bar.setWidth(inner.width() * PercentDone() / 100);
    painter.fillRect(bar, ForeColor);
    painter.setPen(TextColor);
    painter.setFont(font());
    painter.drawText(inner, Qt::AlignCenter, Text());
}
