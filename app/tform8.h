#pragma once

#include <QLabel>
#include <QProgressBar>
#include <QWidget>

#include "app/tanimate.h"

// The splash window shown while start-up creates the program's windows.
class TForm8 : public QWidget {
    Q_OBJECT
public:
    explicit TForm8(QWidget* parent = nullptr);

    // Shows the new loading text and paints it at once (the event loop isn't running yet).
    void SetStep(const QString& text);
    void StepBy(int delta);

    QLabel* Label1;
    QLabel* Label2;
    TAnimate* Animate1;
    QProgressBar* ProgressBar1;
};
