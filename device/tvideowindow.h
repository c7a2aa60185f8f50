#pragma once

#include <QWidget>

#include <functional>

// The window the media device shows video in. The video sink draws straight into its native window,
// so Qt must not paint over it; a resize or an uncovered area asks the sink to draw the frame
// again.
class TVideoWindow : public QWidget {
    Q_OBJECT

public:
    explicit TVideoWindow(QWidget* owner = nullptr);

    // Called on the GUI thread whenever the sink should redraw its last frame.
    void setExposeHandler(std::function<void()> handler) { expose_ = std::move(handler); }

    QPaintEngine* paintEngine() const override { return nullptr; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    std::function<void()> expose_;
};
