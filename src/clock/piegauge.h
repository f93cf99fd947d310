#pragma once

#include <QWidget>

// A pie gauge: a yellow face with a blue pie that fills clockwise from twelve
// o'clock as the progress goes from 0 to the maximum.  No text.
class PieGauge : public QWidget {
    Q_OBJECT
public:
    explicit PieGauge(QWidget *parent = nullptr);

    int maxValue() const { return m_max; }
    int progress() const { return m_progress; }
    // Both repaint only when the value changes.
    void setMaxValue(int max);
    void setProgress(int progress);

    QSize sizeHint() const override { return {129, 129}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_max = 100;
    int m_progress = 0;
};
