#pragma once

#include <QColor>
#include <QWidget>

// A horizontal bar gauge: the part MinValue..Progress filled with ForeColor over BackColor, and
// the percentage drawn over the bar as "%d%%".
class TGauge : public QWidget {
    Q_OBJECT
public:
    explicit TGauge(QWidget* parent = nullptr);

    int MinValue() const { return minValue_; }
    int MaxValue() const { return maxValue_; }
    void SetRange(int minValue, int maxValue);
    int Progress() const { return progress_; }
    // Clamped to the range.
    void SetProgress(int progress);
    // Percentage of the range that Progress stands at, rounded down.
    int PercentDone() const;
    // The text drawn over the bar.
    QString Text() const;

    QColor BackColor = Qt::white;
    QColor ForeColor = Qt::black;
    QColor TextColor = Qt::black;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int minValue_ = 0;
    int maxValue_ = 100;
    int progress_ = 0;
};
