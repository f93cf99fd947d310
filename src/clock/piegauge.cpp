#include "clock/piegauge.h"

#include "clock/palette.h"

#include <QPaintEvent>
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


void PieGauge::updateLayers()
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    const QColor background = palette().color(QPalette::Window);
    if (m_face.size() == pixels && m_face.devicePixelRatio() == ratio && m_background == background)
        return;
    m_background = background;
    const QRectF face = QRectF(rect()).adjusted(1, 1, -1, -1);
    // Both drawn as the widget would draw them, so that copying the face and
    // blending the rim over the pie gives the pixels of drawing them there.
    m_face = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    m_face.setDevicePixelRatio(ratio);
    m_face.fill(background);
    QPainter facePainter(&m_face);
    facePainter.setRenderHint(QPainter::Antialiasing);
    facePainter.setPen(Qt::NoPen);
    facePainter.setBrush(palette::GaugeFace);
    facePainter.drawEllipse(face);
    facePainter.end();
    m_rim = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    m_rim.setDevicePixelRatio(ratio);
    m_rim.fill(Qt::transparent);
    QPainter rim(&m_rim);
    rim.setRenderHint(QPainter::Antialiasing);
    rim.setPen(Qt::black);
    rim.setBrush(Qt::NoBrush);
    rim.drawEllipse(face);
    rim.end();
    m_rimPoints.clear();
    for (int k = 0; k <= kRimSteps; ++k)
        m_rimPoints << rimPoint(face, static_cast<double>(k) / kRimSteps);
}

namespace {

// The part of `polygon` inside `box` (Sutherland and Hodgman, edge by edge).
// Filled with smoothing it covers the pixels well inside `box` exactly as
// the whole polygon does, at a fraction of the cost for a small box.
QPolygonF clipped(const QPolygonF &polygon, const QRectF &box)
{
    QPolygonF result = polygon;
    const auto cut = [&result](auto inside, auto crossing) {
        if (result.isEmpty())
            return;
        QPolygonF out;
        QPointF previous = result.last();
        bool previousInside = inside(previous);
        for (const QPointF &point : std::as_const(result)) {
            const bool pointInside = inside(point);
            if (pointInside != previousInside)
                out << crossing(previous, point);
            if (pointInside)
                out << point;
            previous = point;
            previousInside = pointInside;
        }
        result = out;
    };
    const auto atX = [](double x) {
        return [x](const QPointF &a, const QPointF &b) {
            return QPointF(x, a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x()));
        };
    };
    const auto atY = [](double y) {
        return [y](const QPointF &a, const QPointF &b) {
            return QPointF(a.x() + (b.x() - a.x()) * (y - a.y()) / (b.y() - a.y()), y);
        };
    };
    cut([&box](const QPointF &p) { return p.x() >= box.left(); }, atX(box.left()));
    cut([&box](const QPointF &p) { return p.x() <= box.right(); }, atX(box.right()));
    cut([&box](const QPointF &p) { return p.y() >= box.top(); }, atY(box.top()));
    cut([&box](const QPointF &p) { return p.y() <= box.bottom(); }, atY(box.bottom()));
    return result;
}

// The part of `line` inside `box` (Liang and Barsky); false when none is.
bool clipLine(QLineF &line, const QRectF &box)
{
    double t0 = 0, t1 = 1;
    const double dx = line.dx(), dy = line.dy();
    const double p[] = {-dx, dx, -dy, dy};
    const double q[] = {line.x1() - box.left(), box.right() - line.x1(), line.y1() - box.top(),
                        box.bottom() - line.y1()};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1)
        return false;
    line = QLineF(line.pointAt(t0), line.pointAt(t1));
    return true;
}

} // namespace

void PieGauge::paintEvent(QPaintEvent *event)
{
    updateLayers();
    QPainter painter(this);
    // Rectangle by rectangle: a tick's area is one small rectangle.
    for (const QRect &area : event->region()) {
        painter.setClipRect(area);
        paintArea(painter, area);
    }
}

void PieGauge::paintArea(QPainter &painter, const QRect &area)
{
    const qreal ratio = m_face.devicePixelRatio();
    const QRectF source(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio);
    painter.drawImage(QRectF(area), m_face, source);
    if (m_max > 0 && m_progress > 0) {
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF face = QRectF(rect()).adjusted(1, 1, -1, -1);
        const double share = std::clamp(static_cast<double>(m_progress) / m_max, 0.0, 1.0);
        const int steps = static_cast<int>(share * kRimSteps);
        QPolygonF pie;
        pie.reserve(steps + 3);
        pie << face.center();
        pie.append(m_rimPoints.mid(0, steps + 1));
        pie << rimPoint(face, share);
        // Only the shapes' parts a little beyond the area: smoothing reads a
        // pixel's own cover, so those pixels come out as from the whole.
        const QRectF cut = QRectF(area).adjusted(-2, -2, 2, 2);
        const QPolygonF part = clipped(pie, cut);
        if (part.size() >= 3) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(palette::GaugePie);
            painter.drawPolygon(part);
        }
        painter.setPen(Qt::black);
        for (QLineF edge : {QLineF(face.center(), m_rimPoints.first()), QLineF(face.center(), rimPoint(face, share))})
            if (clipLine(edge, cut))
                painter.drawLine(edge);
    }
    // The rim last, over the pie's edge.
    painter.drawImage(QRectF(area), m_rim, source);
}
