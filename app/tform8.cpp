#include "app/tform8.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <thread>

#include "controls/widgetkit.h"

TForm8::TForm8(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      Label1(new QLabel(QStringLiteral("Tovra III Loading.."), this)),
      Label2(new QLabel(QStringLiteral("Initialize"), this)),
      Animate1(new TAnimate(this)),
      ProgressBar1(new QProgressBar(this)) {
    setObjectName(QStringLiteral("Form8"));
    setFixedSize(302, 76);
    setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11));
    setAutoFillBackground(true);

    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(PixelFont(QStringLiteral("Tahoma"), 11, true));
    Label2->setObjectName(QStringLiteral("Label2"));
    Label1->setGeometry(40, 10, 240, 16);
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setGeometry(14, 36, 273, 14);
    Animate1->setGeometry(6, 2, 25, 33);
    Animate1->StopFrame = 8;
    ProgressBar1->setGeometry(22, 54, 257, 17);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->geometry().center() - rect().center());
    }
}

void TForm8::ShowAndPaint() {
    show();
    // A bound, so a window manager that never maps the splash doesn't hold the start-up.
    const QDeadlineTimer deadline(1000);
    // Each pass waits for the next event, so the paint follows the exposure at once; the timer
    // wakes the last pass.
    QTimer bound;
    bound.setSingleShot(true);
    bound.start(1000);
    while (windowHandle() != nullptr && !windowHandle()->isExposed() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents |
                                        QEventLoop::ExcludeUserInputEvents);
    }
    repaint();
}

void TForm8::Sleep(int ms) {
    SleepUntil(QDeadlineTimer(ms, Qt::PreciseTimer));
}

void TForm8::SleepDuring(int ms, const std::function<void()>& work) {
    const QDeadlineTimer pause(ms, Qt::PreciseTimer);
    if (work) {
        work();
    }
    SleepUntil(pause);
}

void TForm8::SleepUntil(const QDeadlineTimer& end) {
    // The event loop's timers wake a millisecond or two late, which every pause would add to
    // the start-up; the last stretch is slept by the clock instead, without events.
    constexpr qint64 kClockSleepNs = 2'000'000;
    if (const qint64 loopMs = (end.remainingTimeNSecs() - kClockSleepNs) / 1'000'000; loopMs > 0) {
        QEventLoop pause;
        QTimer::singleShot(static_cast<int>(loopMs), Qt::PreciseTimer, &pause, &QEventLoop::quit);
        pause.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (const qint64 left = end.remainingTimeNSecs(); left > 0) {
        std::this_thread::sleep_for(std::chrono::nanoseconds(left));
    }
}

void TForm8::SetStep(const QString& text) {
    Label2->setText(text);
    Label2->repaint();
}

void TForm8::StepBy(int delta) {
    // The bar repaints itself at once when the step shows.
    ProgressBar1->setValue(ProgressBar1->value() + delta);
}
