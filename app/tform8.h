#pragma once

#include <QDeadlineTimer>
#include <QLabel>
#include <QProgressBar>
#include <QWidget>

#include <functional>

#include "controls/tanimate.h"

// The splash window shown while start-up creates the program's windows.
class TForm8 : public QWidget {
    Q_OBJECT
public:
    explicit TForm8(QWidget* parent = nullptr);

    // Shows the window and returns once it is on the screen and painted. Under a window manager
    // the window appears some time after it is shown, and what is painted before that is lost.
    void ShowAndPaint();
    // Shows the new loading text and paints it at once (the event loop isn't running yet).
    void SetStep(const QString& text);
    void StepBy(int delta);
    // The start-up's pauses: the time passes with the splash painting and its animation running,
    // while input waits for the event loop.
    void Sleep(int ms);
    // A pause during which work is done: the work runs at its start and the pause ends ms after
    // it began, or when the work is done if that takes longer.
    void SleepDuring(int ms, const std::function<void()>& work);
    // Sleeps with the splash painting until the deadline, ending on it rather than after it.
    void SleepUntil(const QDeadlineTimer& end);

    QLabel* Label1;
    QLabel* Label2;
    TAnimate* Animate1;
    QProgressBar* ProgressBar1;
};
