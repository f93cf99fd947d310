#include "clock/piegauge.h"

#include "clock/palette.h"

#include <QPainter>
#include <algorithm>

PieGauge::PieGauge(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PieGauge::setMaxValue(int max)
{
    if (max == m_max)
        return;
    m_max = max;
    update();
}

void PieGauge::setProgress(int progress)
{
    if (progress == m_progress)
        return;
    m_progress = progress;
    update();
}

void PieGauge::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF face = QRectF(rect()).adjusted(1, 1, -1, -1);
    painter.setPen(Qt::black);
    painter.setBrush(palette::GaugeFace);
    painter.drawEllipse(face);
    if (m_max > 0 && m_progress > 0) {
        const double share = std::clamp(static_cast<double>(m_progress) / m_max, 0.0, 1.0);
        painter.setBrush(palette::GaugePie);
        // Qt measures angles in 1/16 degree, counter-clockwise from three o'clock.
        painter.drawPie(face, 90 * 16, -static_cast<int>(share * 360 * 16));
    }
}
