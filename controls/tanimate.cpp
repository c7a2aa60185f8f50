#include "controls/tanimate.h"

#include <QPainter>

#include <cmath>
#include <numbers>

#include "platform/tapplication.h"

TAnimate::TAnimate(QWidget* parent) : QWidget(parent) {
    timer_.setInterval(100);
    QObject::connect(&timer_, &QTimer::timeout, this, guarded([this](auto&&...) {
        frame_ = (frame_ + 1) % FrameCount;
        update();
    }));
    frame_ = StopFrame - 1;
}

void TAnimate::SetActive(bool active) {
    if (active) {
        timer_.start();
    } else {
        timer_.stop();
        frame_ = StopFrame - 1;
        update();
    }
}

void TAnimate::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = width();
    const double h = height();
    // The computer: a monitor on a small stand.
    painter.setPen(QColor(40, 40, 40));
    painter.setBrush(QColor(200, 200, 200));
    painter.drawRect(QRectF(w * 0.08, h * 0.45, w * 0.84, h * 0.36));
    painter.setBrush(QColor(20, 60, 140));
    painter.drawRect(QRectF(w * 0.16, h * 0.5, w * 0.68, h * 0.25));
    painter.setBrush(QColor(160, 160, 160));
    painter.drawRect(QRectF(w * 0.35, h * 0.82, w * 0.3, h * 0.08));
    // The glass, circling above it.
    const double angle = 2 * std::numbers::pi * frame_ / FrameCount;
    const QPointF centre(w * (0.5 + 0.25 * std::cos(angle)), h * (0.28 + 0.12 * std::sin(angle)));
    const double r = w * 0.22;
    painter.setPen(QPen(QColor(90, 60, 20), 2));
    painter.drawLine(centre + QPointF(r * 0.7, r * 0.7), centre + QPointF(r * 1.5, r * 1.5));
    painter.setPen(QPen(QColor(30, 30, 30), 1.5));
    painter.setBrush(QColor(180, 230, 255, 170));
    painter.drawEllipse(centre, r, r);
}
