#include "clock/athleteview.h"

#include "clock/palette.h"

#include <QCloseEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace {

const QColor kBackground(22, 26, 30);
const QColor kText(255, 255, 255);
const QColor kTrough = palette::WindowBackground;   // the clock window's bar panels
const QColor kFroBar = palette::FroBar;
const QColor kToBar = palette::ToBar;
constexpr int kTroughInset = 4;

// Black or white, whichever stands out more from `background`.
QColor textOn(const QColor &background)
{
    const auto linear = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const double luminance = 0.2126 * linear(background.redF()) + 0.7152 * linear(background.greenF())
                             + 0.0722 * linear(background.blueF());
    // Contrast ratios (L1 + 0.05) / (L2 + 0.05) against white and black.
    const double withWhite = 1.05 / (luminance + 0.05);
    const double withBlack = (luminance + 0.05) / 0.05;
    return withBlack >= withWhite ? QColor(0, 0, 0) : QColor(255, 255, 255);
}

QFont boldFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("sans-serif")});
    font.setWeight(QFont::Bold);
    return font;
}

// The digits of `text` as zeros, so that a running countdown is measured
// the same from one tick to the next and keeps its size.
QString shapeOf(const QString &text)
{
    QString shape = text;
    for (QChar &c : shape)
        if (c.isDigit())
            c = u'0';
    return shape;
}

// The largest font in which `text` fits `box`.  `inked`: measured by the ink
// of its glyphs (a comma's tail included), else by the font's line height.
// A text too wide for the box takes the condensed face when that lets it
// stand taller.
QFont fittedFont(const QString &text, const QSizeF &box, bool inked)
{
    const QString shape = shapeOf(text);
    constexpr double reference = 200;
    QFont best;
    double bestSize = -1;
    for (const int stretch : {int(QFont::Unstretched), int(QFont::Condensed)}) {
        QFont font = boldFont();
        font.setStretch(stretch);
        font.setPixelSize(static_cast<int>(reference));
        const QFontMetricsF metrics(font);
        const double width = metrics.horizontalAdvance(shape);
        const double height = inked ? metrics.tightBoundingRect(shape).height() : metrics.height();
        double size = 4 * reference;
        if (width > 0)
            size = std::min(size, reference * box.width() / width);
        if (height > 0)
            size = std::min(size, reference * box.height() / height);
        // Only a clear gain is worth the narrower letters.
        if (size > bestSize * 1.05) {
            bestSize = size;
            best = font;
        }
    }
    best.setPixelSize(std::max(1, static_cast<int>(bestSize)));
    return best;
}

QSizeF padded(const QRect &box, double widthShare, double heightShare)
{
    return {box.width() * widthShare, box.height() * heightShare};
}

} // namespace

AthletePlacement athletePlacement(const QList<QRect> &screens, int clockScreen)
{
    if (screens.isEmpty())
        return {0, QRect(0, 0, 1280, 720), false};
    if (clockScreen < 0 || clockScreen >= screens.size())
        clockScreen = 0;
    if (screens.size() >= 2) {
        int best = -1;
        for (int i = 0; i < screens.size(); ++i) {
            if (i == clockScreen)
                continue;
            const auto area = [&](int k) {
                return static_cast<qint64>(screens[k].width()) * screens[k].height();
            };
            if (best < 0 || area(i) > area(best))
                best = i;
        }
        return {best, screens[best], true};
    }
    const QRect screen = screens.first();
    QRect window(0, 0, screen.width() * 3 / 4, screen.height() * 3 / 4);
    window.moveCenter(screen.center());
    return {0, window, false};
}

AthleteView::AthleteView(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("AthleteView"));
    setWindowTitle(tr("Athlete view"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(320, 200);
    resize(1280, 720);

    laidOut();
}

QString AthleteView::repetitionText(const AthleteDisplay &display)
{
    return tr("Repetition %1 / %2").arg(display.repetition).arg(display.repetitionCount);
}

QString AthleteView::setText(const AthleteDisplay &display)
{
    return tr("Set %1 / %2").arg(display.set).arg(display.setCount);
}

void AthleteView::setDisplay(const AthleteDisplay &display)
{
    if (display == m_display)
        return;
    const AthleteDisplay old = m_display;
    m_display = display;

    const Parts &p = laidOut();
    QRegion dirty;
    const bool colour = display.phaseColour != old.phaseColour;
    if (colour || display.phaseName != old.phaseName)
        dirty += p.phaseRect;
    if (colour || shapeOf(display.countdown) != shapeOf(old.countdown)) {
        dirty += p.countdownRect;
    } else if (display.countdown != old.countdown) {
        // Same type and places: only the characters that differ.
        const QList<Cell> was = countdownCells(old.countdown);
        const QList<Cell> now = countdownCells(display.countdown);
        for (qsizetype i = 0; i < now.size() && i < was.size(); ++i)
            if (now[i].character != was[i].character)
                dirty += now[i].box.toAlignedRect().united(was[i].box.toAlignedRect());
    }
    // The two lines share one type size, so a change of either redraws both.
    if (repetitionText(display) != repetitionText(old) || setText(display) != setText(old))
        dirty += p.repetitionRect.united(p.setRect);
    dirty += barChange(p.froRect, old.froBar, display.froBar, true);
    dirty += barChange(p.toRect, old.toBar, display.toBar, false);
    dirty += gaugeChange(p.gauge, old, display);
    if (!dirty.isEmpty())
        update(dirty);
}

void AthleteView::openBeside(const QWidget *clockWindow)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    QList<QRect> areas;
    for (const QScreen *screen : screens)
        areas << screen->availableGeometry();
    const QScreen *clockScreen = clockWindow ? clockWindow->screen() : nullptr;
    const AthletePlacement place = athletePlacement(areas, static_cast<int>(screens.indexOf(clockScreen)));

    // The athlete does not type: a full-screen view on its own screen leaves
    // the keyboard with the tester's window.
    setWindowFlag(Qt::FramelessWindowHint, place.fullScreen);
    setAttribute(Qt::WA_ShowWithoutActivating, place.fullScreen);
    if (place.screen < screens.size())
        setScreen(screens[place.screen]);
    setGeometry(place.geometry);
    if (place.fullScreen) {
        showFullScreen();
    } else {
        showNormal();
        raise();
        activateWindow();
    }
}

QFont AthleteView::countdownFont() const
{
    return fitted(m_display.countdown, padded(laidOut().countdownRect, 0.92, 0.78), true);
}

QFont AthleteView::fitted(const QString &text, const QSizeF &box, bool inked) const
{
    // Measuring type is slow next to a tick; the texts' shapes are few.
    const QString key = shapeOf(text) + u'|' + QString::number(box.width()) + u'x'
                        + QString::number(box.height()) + (inked ? u'i' : u'l');
    const auto found = m_fonts.constFind(key);
    if (found != m_fonts.constEnd())
        return *found;
    if (m_fonts.size() > 64)
        m_fonts.clear();
    return *m_fonts.insert(key, fittedFont(text, box, inked));
}

QList<AthleteView::Cell> AthleteView::countdownCells(const QString &text) const
{
    // Asked for three times a tick (the old text, the new, the repaint);
    // measuring type costs more than looking the answer up.
    const QRect box = laidOut().countdownRect;
    const auto found = m_cells.constFind(text);
    if (found != m_cells.constEnd())
        return *found;
    if (m_cells.size() > 256)
        m_cells.clear();
    const QFont font = fitted(text, padded(box, 0.92, 0.78), true);
    const QFontMetricsF metrics(font);
    // The ink of the zero-digit shape is centred, so the text stands still
    // while its digits change.
    const QRectF ink = metrics.tightBoundingRect(shapeOf(text));
    const double baseline = box.center().y() + 0.5 - ink.center().y();
    double x = box.center().x() + 0.5 - metrics.horizontalAdvance(text) / 2;
    QList<Cell> cells;
    for (const QChar c : text) {
        // The glyph's ink with a pixel to spare for its smoothed edge.
        const QRectF glyphInk = metrics.boundingRect(c).translated(x, baseline).adjusted(-1, -1, 1, 1);
        cells.append({c, glyphInk.intersected(QRectF(box)), QPointF(x, baseline)});
        x += metrics.horizontalAdvance(c);
    }
    return *m_cells.insert(text, cells);
}

// Large type costs far more to rasterise than to copy, and the countdown
// changes ten times a second: each text is drawn once into an image and
// copied from there.
const QImage &AthleteView::textImage(const QString &text, const QFont &font, const QColor &colour,
                                     const QColor &background) const
{
    const QString key = font.key() + u'|' + QString::number(colour.rgba()) + u'|'
                        + (background.isValid() ? QString::number(background.rgba()) : QString()) + u'|' + text;
    const auto found = m_texts.constFind(key);
    if (found != m_texts.constEnd())
        return *found;
    if (m_texts.size() > 64)
        m_texts.clear();
    const QFontMetricsF metrics(font);
    const double pad = textPad(font);
    const qreal ratio = devicePixelRatioF();
    const QSizeF size(metrics.horizontalAdvance(text) + 2 * pad, metrics.ascent() + metrics.descent() + 2 * pad);
    QImage image((size * ratio).toSize(),
                 background.isValid() ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(background.isValid() ? background : QColor(Qt::transparent));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(QPointF(pad, pad + metrics.ascent()), text);
    painter.end();
    return *m_texts.insert(key, image);
}

double AthleteView::textPad(const QFont &font)
{
    return std::ceil(font.pixelSize() * 0.05);
}

void AthleteView::drawText(QPainter &painter, const QPointF &pen, const QString &text, const QFont &font,
                           const QColor &colour, const QColor &background) const
{
    const double pad = textPad(font);
    painter.drawImage(pen - QPointF(pad, pad + QFontMetricsF(font).ascent()),
                      textImage(text, font, colour, background));
}

QRegion AthleteView::barChange(const QRect &trough, double from, double to, bool down)
{
    const int a = barFill(from, trough);
    const int b = barFill(to, trough);
    if (a == b)
        return {};
    // Only the strip between the old and the new end of the bar.
    const QRect inner = trough.adjusted(kTroughInset, kTroughInset, -kTroughInset, -kTroughInset);
    const int low = std::min(a, b);
    const int high = std::max(a, b);
    return down ? QRect(inner.left(), inner.top() + low, inner.width(), high - low)
                : QRect(inner.left(), inner.bottom() + 1 - high, inner.width(), high - low);
}

// The pie gauge as in the clock window: a yellow face with a black rim and a
// blue pie that fills clockwise from twelve o'clock.
namespace {

const QColor kGaugeFace = palette::GaugeFace;
const QColor kGaugePie = palette::GaugePie;

double gaugeShare(int progress, int max)
{
    return max > 0 && progress > 0 ? std::clamp(static_cast<double>(progress) / max, 0.0, 1.0) : 0.0;
}

// The point on the rim `share` of the way round, clockwise from twelve.
QPointF rimPoint(const QRectF &face, double share)
{
    const double angle = share * 2 * M_PI;
    return {face.center().x() + face.width() / 2 * std::sin(angle),
            face.center().y() - face.height() / 2 * std::cos(angle)};
}

} // namespace

QRegion AthleteView::gaugeChange(const QRect &gauge, const AthleteDisplay &from, const AthleteDisplay &to)
{
    const double a = gaugeShare(from.gaugeProgress, from.gaugeMax);
    const double b = gaugeShare(to.gaugeProgress, to.gaugeMax);
    if (a == b)
        return {};
    // Only the wedge between the two edges of the pie: the box around the
    // centre, both rim points and every quarter mark between them.
    const QRectF face = QRectF(gauge).adjusted(1, 1, -1, -1);
    const double low = std::min(a, b);
    const double high = std::max(a, b);
    QPointF least = face.center();
    QPointF most = face.center();
    const auto include = [&](const QPointF &point) {
        least = QPointF(std::min(least.x(), point.x()), std::min(least.y(), point.y()));
        most = QPointF(std::max(most.x(), point.x()), std::max(most.y(), point.y()));
    };
    include(rimPoint(face, low));
    include(rimPoint(face, high));
    for (double quarter = 0.25; quarter < 1.0; quarter += 0.25)
        if (low < quarter && quarter < high)
            include(rimPoint(face, quarter));
    // Smoothed edges and the rim's pen spill a little over the exact shape.
    return QRectF(least, most).adjusted(-3, -3, 3, 3).toAlignedRect().intersected(gauge);
}

const QImage &AthleteView::gaugeFace(const QRect &gauge) const
{
    const qreal ratio = devicePixelRatioF();
    if (!m_face.isNull() && m_face.size() == (QSizeF(gauge.size()) * ratio).toSize())
        return m_face;
    m_face = QImage((QSizeF(gauge.size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    m_face.setDevicePixelRatio(ratio);
    m_face.fill(kBackground);
    QPainter painter(&m_face);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::black);
    painter.setBrush(kGaugeFace);
    painter.drawEllipse(QRectF(0, 0, gauge.width(), gauge.height()).adjusted(1, 1, -1, -1));
    return m_face;
}

int AthleteView::barFill(double share, const QRect &trough)
{
    const int full = std::max(0, trough.height() - 2 * kTroughInset);
    return static_cast<int>(std::lround(std::clamp(share, 0.0, 1.0) * full));
}

const AthleteView::Parts &AthleteView::laidOut() const
{
    if (m_parts.size == size())
        return m_parts;
    Parts &p = m_parts;
    p.size = size();
    const int w = width();
    const int h = height();
    const int margin = std::max(8, std::min(w, h) / 40);
    const int barWidth = std::clamp(w / 14, 24, 160);
    const int arrowHeight = barWidth * 2 / 3;

    const int troughTop = margin + arrowHeight + margin / 2;
    const int troughHeight = std::max(0, h - troughTop - margin);
    p.froArrow = QRect(margin, margin, barWidth, arrowHeight);
    p.froRect = QRect(margin, troughTop, barWidth, troughHeight);
    p.toArrow = QRect(w - margin - barWidth, margin, barWidth, arrowHeight);
    p.toRect = QRect(w - margin - barWidth, troughTop, barWidth, troughHeight);

    const int left = margin + barWidth + margin;
    const int centreWidth = std::max(0, w - 2 * left);
    int y = margin;
    p.phaseRect = QRect(left, y, centreWidth, h * 17 / 100);
    y = p.phaseRect.bottom() + 1 + margin / 2;
    p.countdownRect = QRect(left, y, centreWidth, h * 45 / 100);
    y = p.countdownRect.bottom() + 1 + margin;
    const int infoHeight = std::max(0, h - margin - y);
    const int gaugeSide = std::min(infoHeight, centreWidth / 3);
    p.gauge = QRect(left + centreWidth - gaugeSide, y + (infoHeight - gaugeSide) / 2, gaugeSide, gaugeSide);
    const int textWidth = std::max(0, centreWidth - gaugeSide - margin);
    p.repetitionRect = QRect(left, y, textWidth, infoHeight / 2);
    p.setRect = QRect(left, y + infoHeight / 2, textWidth, infoHeight - infoHeight / 2);
    m_face = QImage();
    m_cells.clear();
    return p;
}

void AthleteView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    laidOut();
}

void AthleteView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    // Rectangle by rectangle: under a clip of one rectangle the painter takes
    // its fast paths, and a tick's changes lie in a few small rectangles.
    for (const QRect &area : event->region()) {
        painter.setClipRect(area);
        paintArea(painter, area);
    }
}

void AthleteView::paintArea(QPainter &painter, const QRect &region)
{
    const Parts &p = laidOut();
    const double radius = std::max(4, height() / 60);
    // Away from its rounded corners the countdown panel is a plain fill,
    // which costs far less than the rounded shape; a countdown tick repaints
    // a character or two in its middle.
    const int corner = qCeil(radius);
    const QRect plain = p.countdownRect.adjusted(corner, corner, -corner, -corner);
    if (!plain.contains(region))
        painter.fillRect(region, kBackground);

    const QColor phaseText = textOn(m_display.phaseColour);
    if (region.intersects(p.phaseRect)) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_display.phaseColour);
        painter.drawRoundedRect(p.phaseRect, radius, radius);
        const QFont font = fitted(m_display.phaseName, padded(p.phaseRect, 0.92, 0.7), false);
        const QFontMetricsF metrics(font);
        const QPointF pen(p.phaseRect.center().x() + 0.5 - metrics.horizontalAdvance(m_display.phaseName) / 2,
                          p.phaseRect.center().y() + 0.5 - (metrics.ascent() + metrics.descent()) / 2
                              + metrics.ascent());
        drawText(painter, pen, m_display.phaseName, font, phaseText);
    }
    if (region.intersects(p.countdownRect)) {
        const QRect inside = region & p.countdownRect;
        if (plain.contains(inside)) {
            painter.fillRect(inside, m_display.phaseColour);
        } else {
            painter.setPen(Qt::NoPen);
            painter.setBrush(m_display.phaseColour);
            painter.drawRoundedRect(p.countdownRect, radius, radius);
        }
        // Each character is copied opaque, on the panel's colour, rather
        // than blended: a countdown tick copies a large character or two.
        // Its image is taller than the ink, so it is kept inside the panel's
        // plain middle, which holds all the ink.
        // Each within its own cell: an image's opaque margin would cover the
        // smoothed edge of its neighbour in a whole paint and not in a tick's,
        // where a font engine smooths a pixel beyond the box (Windows does).
        painter.save();
        const QFont font = countdownFont();
        for (const Cell &cell : countdownCells(m_display.countdown)) {
            const QRect box = cell.box.toAlignedRect();
            if (!region.intersects(box))
                continue;
            painter.setClipRect(inside & plain & box);
            drawText(painter, cell.pen, QString(cell.character), font, phaseText, m_display.phaseColour);
        }
        painter.restore();
    }
    if (region.intersects(p.repetitionRect) || region.intersects(p.setRect)) {
        const QString repetition = repetitionText(m_display);
        const QString set = setText(m_display);
        const QFont a = fitted(repetition, padded(p.repetitionRect, 1.0, 0.72), true);
        const QFont b = fitted(set, padded(p.setRect, 1.0, 0.72), true);
        const QFont font = a.pixelSize() <= b.pixelSize() ? a : b;
        const QFontMetricsF metrics(font);
        for (const auto &[box, text] : {std::pair{p.repetitionRect, repetition}, std::pair{p.setRect, set}}) {
            const double baseline = box.center().y() + 0.5 + metrics.capHeight() / 2;
            drawText(painter, QPointF(box.left(), baseline), text, font, kText);
        }
    }

    if (region.intersects(p.gauge)) {
        painter.drawImage(p.gauge.topLeft(), gaugeFace(p.gauge));
        const double share = gaugeShare(m_display.gaugeProgress, m_display.gaugeMax);
        if (share > 0) {
            painter.setPen(Qt::black);
            painter.setBrush(kGaugePie);
            // Qt measures angles in 1/16 degree, counter-clockwise from three.
            painter.drawPie(QRectF(p.gauge).adjusted(1, 1, -1, -1), 90 * 16,
                            -static_cast<int>(share * 360 * 16));
        }
    }

    const auto drawBar = [&](const QRect &trough, const QRect &arrow, double share,
                             const QColor &colour, bool down) {
        if (region.intersects(trough)) {
            // A tick repaints a strip of the bar, mostly away from the
            // trough's rounded ends, where a plain fill does.
            const QRect troughPlain = trough.adjusted(0, corner, 0, -corner);
            if (troughPlain.contains(region & trough)) {
                painter.fillRect(region & trough, kTrough);
            } else {
                painter.setPen(Qt::NoPen);
                painter.setBrush(kTrough);
                painter.drawRoundedRect(trough, radius, radius);
            }
            const int fill = barFill(share, trough);
            const QRect inner = trough.adjusted(kTroughInset, kTroughInset, -kTroughInset, -kTroughInset);
            // The Fro-Phase bar hangs from the top, the To-Phase bar stands
            // on the bottom, as in the clock window.
            const QRect bar = down ? QRect(inner.left(), inner.top(), inner.width(), fill)
                                   : QRect(inner.left(), inner.bottom() + 1 - fill, inner.width(), fill);
            if (fill > 0)
                painter.fillRect(bar, colour);
        }
        if (region.intersects(arrow)) {
            const QRectF a = QRectF(arrow).adjusted(arrow.width() * 0.15, 0, -arrow.width() * 0.15, 0);
            QPainterPath path;
            if (down) {
                path.moveTo(a.topLeft());
                path.lineTo(a.topRight());
                path.lineTo(a.center().x(), a.bottom());
            } else {
                path.moveTo(a.bottomLeft());
                path.lineTo(a.bottomRight());
                path.lineTo(a.center().x(), a.top());
            }
            path.closeSubpath();
            painter.fillPath(path, kText);
        }
    };
    drawBar(p.froRect, p.froArrow, m_display.froBar, kFroBar, true);
    drawBar(p.toRect, p.toArrow, m_display.toBar, kToBar, false);
}

void AthleteView::keyPressEvent(QKeyEvent *event)
{
    // A held key or pedal repeats its press; it acts once.
    const bool repeat = event->isAutoRepeat();
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        return;
    case Qt::Key_F5:
        if (!repeat)
            emit startRequested();
        return;
    case Qt::Key_F6:
        if (!repeat)
            emit stopRequested();
        return;
    case Qt::Key_F7:
        if (!repeat)
            emit breakRequested();
        return;
    case Qt::Key_F8:
        if (!repeat)
            emit cancelRequested();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void AthleteView::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    emit closed();
}
