#pragma once

// Waiting on Qt's event loop in tests: for a condition, under a generous bound that guards
// against a hang (never a measure of speed), or for a stretch of real time in which something
// that should not happen would have.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>

#include <functional>

// Runs the event loop until the condition holds; false if it still does not after boundMs.
inline bool WaitFor(const std::function<bool()>& condition, int boundMs = 30000) {
    QDeadlineTimer deadline(boundMs);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// Runs the event loop for ms milliseconds of real time.
inline void RunEventLoopFor(int ms) {
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}
