#pragma once

#include <QTimer>
#include <QWidget>

// The splash window's small search animation: a magnifying glass sweeping over a computer,
// eight frames drawn in code. StopFrame is the frame shown while the animation stands still.
class TAnimate : public QWidget {
    Q_OBJECT
public:
    static constexpr int FrameCount = 8;

    explicit TAnimate(QWidget* parent = nullptr);

    bool Active() const { return timer_.isActive(); }
    void SetActive(bool active);
    int Frame() const { return frame_; }
    int StopFrame = 8;  // one-based, as frame numbers are counted

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer timer_;
    int frame_ = 0;  // zero-based
};
