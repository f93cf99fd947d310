#include "clock/piegauge.h"

#include "clock/palette.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The rim point at a share of the full turn, clockwise from twelve o'clock.
QPointF rimPoint(const QRectF &face, double share)
{
    const double angle = (90.0 - share * 360.0) * std::numbers::pi / 180.0;
    return QPointF(face.center().x() + face.width() / 2 * std::cos(angle),
                   face.center().y() - face.height() / 2 * std::sin(angle));
}

// Steps of the pie's rim: fixed points, so that a grown pie draws its older
// part exactly as before and a tick repaints only the wedge it adds.
constexpr int kRimSteps = 720;

} // namespace

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
    const int from = m_progress;
    m_progress = progress;
    update(changedArea(size(), m_max, from, progress));
}

QRect PieGauge::changedArea(const QSize &size, int max, int from, int to)
{
    const QRect all(QPoint(0, 0), size);
    if (max <= 0)
        return all;
    const auto share = [max](int value) { return std::clamp(static_cast<double>(value) / max, 0.0, 1.0); };
    double a = share(from);
    double b = share(to);
    if (a > b)
        std::swap(a, b);
    // A wide sweep covers most of the face anyway.
    if (b - a > 0.25)
        return all;
    const QRectF face = QRectF(all).adjusted(1, 1, -1, -1);
    const QPointF centre = face.center();
    const auto rim = [&face](double s) { return rimPoint(face, s); };
    double left = centre.x(), right = centre.x(), top = centre.y(), bottom = centre.y();
    const auto include = [&](const QPointF &p) {
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        top = std::min(top, p.y());
        bottom = std::max(bottom, p.y());
    };
    include(rim(a));
    include(rim(b));
    // The rim bulges furthest at the quarters the sweep passes.
    for (int quarter = 1; quarter < 4; ++quarter) {
        if (a < quarter / 4.0 && quarter / 4.0 < b)
            include(rim(quarter / 4.0));
    }
    // Antialiased edges reach a pixel or two beyond the geometry.
    return QRectF(QPointF(left, top), QPointF(right, bottom)).toAlignedRect().adjusted(-3, -3, 3, 3) & all;
}


void PieGauge::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF face = QRectF(rect()).adjusted(1, 1, -1, -1);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette::GaugeFace);
    painter.drawEllipse(face);
    if (m_max > 0 && m_progress > 0) {
        const double share = std::clamp(static_cast<double>(m_progress) / m_max, 0.0, 1.0);
        QPolygonF pie;
        pie << face.center();
        const int steps = static_cast<int>(share * kRimSteps);
        for (int k = 0; k <= steps; ++k)
            pie << rimPoint(face, static_cast<double>(k) / kRimSteps);
        pie << rimPoint(face, share);
        painter.setBrush(palette::GaugePie);
        painter.drawPolygon(pie);
        painter.setPen(Qt::black);
        painter.drawLine(face.center(), rimPoint(face, 0));
        painter.drawLine(face.center(), rimPoint(face, share));
    }
    // The outline last, over the pie's edge.
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(face);
}
