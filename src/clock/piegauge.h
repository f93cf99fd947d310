#pragma once

#include <QImage>
#include <QList>
#include <QPointF>
#include <QWidget>

// A pie gauge: a yellow face with a blue pie that fills clockwise from twelve
// o'clock as the progress goes from 0 to the maximum.  No text.
class QPainter;

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

    // The part of a gauge of `size` whose pixels can differ between the
    // progress `from` and `to` of `max`: the wedge between the two, or all of
    // it for a large change.  A tick repaints only this much.
    static QRect changedArea(const QSize &size, int max, int from, int to);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void updateLayers();
    void paintArea(QPainter &painter, const QRect &area);

    int m_max = 100;
    int m_progress = 0;
    // What does not move, drawn once per size and background: the face on
    // the background, the rim alone (laid over the pie), and the pie's rim
    // points.  A tick then rasterises only the part of the pie in its area.
    QImage m_face;
    QImage m_rim;
    QList<QPointF> m_rimPoints;
    QColor m_background;
};
