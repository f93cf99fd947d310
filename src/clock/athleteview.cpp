#include "clock/athleteview.h"

#include "clock/piegauge.h"

#include <QCloseEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace {

const QColor kBackground(22, 26, 30);
const QColor kText(255, 255, 255);
const QColor kTrough(230, 242, 231);     // the clock window's background
const QColor kFroBar(0, 0, 128);         // navy, as Shape1
const QColor kToBar(58, 110, 165);       // as Shape2
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

// Draws `text` with the ink of its zero-digit shape centred in `box`, so the
// text does not jump as its digits change.
void drawCentred(QPainter &painter, const QRect &box, const QString &text, const QFont &font)
{
    const QFontMetricsF metrics(font);
    const QRectF ink = metrics.tightBoundingRect(shapeOf(text));
    const double x = box.center().x() + 0.5 - metrics.horizontalAdvance(text) / 2;
    const double baseline = box.center().y() + 0.5 - ink.center().y();
    painter.setFont(font);
    painter.drawText(QPointF(x, baseline), text);
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
    setWindowTitle(QStringLiteral("Korvane: Athlete view"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(320, 200);
    resize(1280, 720);

    m_gauge = new PieGauge(this);
    m_gauge->setObjectName(QStringLiteral("AthleteGauge"));
    QPalette p = m_gauge->palette();
    p.setColor(QPalette::Window, kBackground);
    m_gauge->setPalette(p);
    m_gauge->setMaxValue(m_display.gaugeMax);
    m_gauge->setProgress(m_display.gaugeProgress);
    laidOut();
}

QString AthleteView::repetitionText(const AthleteDisplay &display)
{
    return QStringLiteral("Repetition %1 / %2").arg(display.repetition).arg(display.repetitionCount);
}

QString AthleteView::setText(const AthleteDisplay &display)
{
    return QStringLiteral("Set %1 / %2").arg(display.set).arg(display.setCount);
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
    if (colour || display.countdown != old.countdown)
        dirty += p.countdownRect;
    // The two lines share one type size, so a change of either redraws both.
    if (repetitionText(display) != repetitionText(old) || setText(display) != setText(old))
        dirty += p.repetitionRect.united(p.setRect);
    if (barFill(display.froBar, p.froRect) != barFill(old.froBar, p.froRect))
        dirty += p.froRect;
    if (barFill(display.toBar, p.toRect) != barFill(old.toBar, p.toRect))
        dirty += p.toRect;
    if (!dirty.isEmpty())
        update(dirty);
    // The gauge repaints itself, and only when its values change.
    m_gauge->setMaxValue(display.gaugeMax);
    m_gauge->setProgress(display.gaugeProgress);
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
    return fittedFont(m_display.countdown, padded(laidOut().countdownRect, 0.92, 0.78), true);
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
    m_gauge->setGeometry(p.gauge);
    return p;
}

void AthleteView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    laidOut();
}

void AthleteView::paintEvent(QPaintEvent *event)
{
    const Parts &p = laidOut();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(event->rect(), kBackground);
    const QRegion &region = event->region();
    const double radius = std::max(4, height() / 60);

    const QColor phaseText = textOn(m_display.phaseColour);
    if (region.intersects(p.phaseRect)) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_display.phaseColour);
        painter.drawRoundedRect(p.phaseRect, radius, radius);
        painter.setPen(phaseText);
        painter.setFont(fittedFont(m_display.phaseName, padded(p.phaseRect, 0.92, 0.7), false));
        painter.drawText(p.phaseRect, Qt::AlignCenter, m_display.phaseName);
    }
    if (region.intersects(p.countdownRect)) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_display.phaseColour);
        painter.drawRoundedRect(p.countdownRect, radius, radius);
        painter.setPen(phaseText);
        drawCentred(painter, p.countdownRect, m_display.countdown, countdownFont());
    }
    if (region.intersects(p.repetitionRect) || region.intersects(p.setRect)) {
        const QString repetition = repetitionText(m_display);
        const QString set = setText(m_display);
        const QFont a = fittedFont(repetition, padded(p.repetitionRect, 1.0, 0.72), true);
        const QFont b = fittedFont(set, padded(p.setRect, 1.0, 0.72), true);
        QFont font = a.pixelSize() <= b.pixelSize() ? a : b;
        painter.setPen(kText);
        painter.setFont(font);
        const QFontMetricsF metrics(font);
        for (const auto &[box, text] : {std::pair{p.repetitionRect, repetition}, std::pair{p.setRect, set}}) {
            const double baseline = box.center().y() + 0.5 + metrics.capHeight() / 2;
            painter.drawText(QPointF(box.left(), baseline), text);
        }
    }

    const auto drawBar = [&](const QRect &trough, const QRect &arrow, double share,
                             const QColor &colour, bool down) {
        if (region.intersects(trough)) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(kTrough);
            painter.drawRoundedRect(trough, radius, radius);
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
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        return;
    case Qt::Key_F5:
        emit startRequested();
        return;
    case Qt::Key_F6:
        emit stopRequested();
        return;
    case Qt::Key_F7:
        emit breakRequested();
        return;
    case Qt::Key_F8:
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
