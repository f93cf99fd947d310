#include "report/reportpage.h"

#include "core/numbertext.h"
#include "platform/modules.h"
#include "report/printengine.h"
#include "store/layout.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <limits>

#ifndef KORVANE_VERSION
#define KORVANE_VERSION ""
#endif

namespace report {
namespace {

const QColor ink(25, 25, 25);
const QColor muted(105, 105, 105);
const QColor accent(21, 101, 112);
const QColor rule(190, 190, 190);
const QColor shade(242, 244, 245);
const QColor cancelledInk(190, 30, 30);
const QColor cancelledShade(253, 236, 234);
const QColor highlight(255, 236, 150);

// Distinct line colours for the sets, in order.
const QColor &setColour(int index)
{
    static const QColor colours[] = {
        {31, 119, 180}, {255, 127, 14}, {44, 160, 44},  {214, 39, 40},  {148, 103, 189},
        {140, 86, 75},  {227, 119, 194}, {127, 127, 127}, {188, 189, 34}, {23, 190, 207},
    };
    return colours[index % 10];
}

// Millimetres and points on the page's device.
struct Page {
    QPainter &painter;
    double perMm;
    double mm(double v) const { return v * perMm; }
    QFont font(double points, bool bold = false) const
    {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setStyleHint(QFont::SansSerif);
        f.setPointSizeF(points);
        f.setBold(bold);
        f.setHintingPreference(QFont::PreferNoHinting);
        // Without shaping no ligatures: "fi" in "Profil" stays two letters
        // that a search of the PDF finds.  Text in a script that needs its
        // shaping gets it back where it is drawn (shapedFor()).
        f.setStyleStrategy(QFont::PreferNoShaping);
        return f;
    }
    QFontMetricsF metrics(const QFont &f) const { return QFontMetricsF(f, painter.device()); }
};

// True when `text` holds letters of a script whose glyphs come right only
// through shaping (Arabic, Hebrew, the Indic scripts and others).
bool needsShaping(const QString &text)
{
    for (const QChar c : text) {
        switch (c.script()) {
        case QChar::Script_Common:
        case QChar::Script_Inherited:
        case QChar::Script_Latin:
        case QChar::Script_Greek:
        case QChar::Script_Cyrillic:
        case QChar::Script_Han:
        case QChar::Script_Hiragana:
        case QChar::Script_Katakana:
        case QChar::Script_Hangul:
        case QChar::Script_Bopomofo:
            break;
        default:
            return true;
        }
    }
    return false;
}

QFont shapedFor(QFont font, const QString &text)
{
    if (needsShaping(text))
        font.setStyleStrategy(QFont::PreferDefault);
    return font;
}

// A text broken into lines that fit a width: at most `maxLines` lines, the
// type made smaller (to 70 %) before the last line is cut with an ellipsis.
struct Fitted {
    QFont font;
    QStringList lines;
    double lineHeight = 0;
    double ascent = 0;
    double height() const { return lineHeight * lines.size(); }
};

Fitted fitText(const Page &page, const QString &text, const QFont &base, double width, int maxLines)
{
    Fitted fitted;
    for (double scale = 1.0;; scale -= 0.1) {
        QFont font = shapedFor(base, text);
        font.setPointSizeF(base.pointSizeF() * scale);
        QTextLayout layout(text, font, page.painter.device());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        QList<QPair<int, int>> spans;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            spans.append({line.textStart(), line.textLength()});
        }
        layout.endLayout();
        const bool last = scale < 0.75;
        if (spans.size() <= maxLines || last) {
            const QFontMetricsF fm = page.metrics(font);
            fitted.font = font;
            fitted.lineHeight = fm.lineSpacing();
            fitted.ascent = fm.ascent();
            for (int i = 0; i < std::min<qsizetype>(spans.size(), maxLines); ++i)
                fitted.lines << text.mid(spans[i].first, spans[i].second).trimmed();
            if (spans.size() > maxLines)
                fitted.lines.last() = fm.elidedText(text.mid(spans[maxLines - 1].first).trimmed(), Qt::ElideRight, width);
            if (fitted.lines.isEmpty())
                fitted.lines << QString();
            return fitted;
        }
    }
}

void drawFitted(const Page &page, const Fitted &fitted, const QRectF &box, Qt::Alignment align, const QColor &colour)
{
    QPainter &p = page.painter;
    p.setFont(fitted.font);
    p.setPen(colour);
    const QFontMetricsF fm = page.metrics(fitted.font);
    double y = box.top();
    for (const QString &line : fitted.lines) {
        double x = box.left();
        if (align & Qt::AlignRight)
            x = box.right() - fm.horizontalAdvance(line);
        else if (align & Qt::AlignHCenter)
            x = box.left() + (box.width() - fm.horizontalAdvance(line)) / 2;
        p.drawText(QPointF(x, y + fitted.ascent), line);
        y += fitted.lineHeight;
    }
}

// One line of text at a baseline-free top left, returning its width.
double drawLine(const Page &page, const QString &text, const QFont &plainFont, QPointF topLeft,
                const QColor &colour, Qt::Alignment align = Qt::AlignLeft, double width = 0)
{
    QPainter &p = page.painter;
    const QFont font = shapedFor(plainFont, text);
    const QFontMetricsF fm = page.metrics(font);
    const double advance = fm.horizontalAdvance(text);
    double x = topLeft.x();
    if (align & Qt::AlignRight)
        x += width - advance;
    else if (align & Qt::AlignHCenter)
        x += (width - advance) / 2;
    p.setFont(font);
    p.setPen(colour);
    p.drawText(QPointF(x, topLeft.y() + fm.ascent()), text);
    return advance;
}

QString withUnit(const QString &value, const QString &unit)
{
    return value == dash() || unit.isEmpty() ? value : value + u' ' + unit;
}

// The label/value rows of a block; returns the height used.
struct Row {
    QString label;
    QString value;
};

double drawBlock(const Page &page, const QString &heading, const QList<Row> &rows, const QRectF &area)
{
    const QFont headingFont = page.font(10.5, true);
    const QFont labelFont = page.font(9);
    const QFont valueFont = page.font(9.5, true);
    double y = area.top();
    drawLine(page, heading, headingFont, {area.left(), y}, accent);
    y += page.metrics(headingFont).lineSpacing() + page.mm(1);
    double labelWidth = 0;
    for (const Row &row : rows)
        labelWidth = std::max(labelWidth, page.metrics(labelFont).horizontalAdvance(row.label));
    labelWidth += page.mm(3);
    const double valueWidth = area.width() - labelWidth;
    for (const Row &row : rows) {
        const Fitted value = fitText(page, row.value, valueFont, valueWidth, 3);
        const double height = std::max(value.height(), page.metrics(labelFont).lineSpacing()) + page.mm(1.2);
        // Label and the value's first line share a baseline.
        const double shift = value.ascent - page.metrics(labelFont).ascent();
        drawLine(page, row.label, labelFont, {area.left(), y + shift}, muted);
        drawFitted(page, value, QRectF(area.left() + labelWidth, y, valueWidth, value.height()), Qt::AlignLeft, ink);
        y += height;
    }
    return y - area.top();
}

// Round steps for an axis: 1, 2 or 5 times a power of ten.
double niceStep(double range, int steps)
{
    const double raw = range / std::max(1, steps);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        if (m * power >= raw)
            return m * power;
    }
    return 10 * power;
}

struct Line {
    const data::ProgressSeries *series;
    QColor colour;
    bool dashed = false;
    QString label;
};

void drawChart(const Page &page, const QRectF &area, const QString &title, const QList<Line> &lines,
               const TestReport &report)
{
    QPainter &p = page.painter;
    const QFont titleFont = page.font(9, true);
    const QFont axisFont = page.font(7);
    const QFont legendFont = page.font(7.5);
    const QFontMetricsF axis = page.metrics(axisFont);
    const QFontMetricsF legend = page.metrics(legendFont);
    const qint64 thisTest = report.seriesTestnr;

    drawLine(page, title, titleFont, area.topLeft(), ink);
    const double top = area.top() + page.metrics(titleFont).lineSpacing() + page.mm(2);

    // The legend below the plot, entries flowing into rows.
    struct Entry {
        QString text;
        QColor colour;
        bool dashed = false;
        bool marker = false;
    };
    QList<Entry> entries;
    for (const Line &line : lines) {
        if (!line.series->points.isEmpty())
            entries.append({line.label, line.colour, line.dashed, false});
    }
    entries.append({report.saved ? QCoreApplication::translate("TestReport", "this test") : QCoreApplication::translate("TestReport", "this test (not saved)"), ink, false, true});
    const double swatch = page.mm(5);
    const double gap = page.mm(3);
    QList<QList<int>> legendRows{{}};
    double rowWidth = 0;
    for (int i = 0; i < entries.size(); ++i) {
        const double w = swatch + page.mm(1.2) + legend.horizontalAdvance(entries[i].text) + gap;
        if (rowWidth + w > area.width() && !legendRows.last().isEmpty()) {
            legendRows.append(QList<int>());
            rowWidth = 0;
        }
        legendRows.last().append(i);
        rowWidth += w;
    }
    const double legendHeight = legendRows.size() * legend.lineSpacing();

    // Ranges.
    double x0 = std::numeric_limits<double>::max(), x1 = std::numeric_limits<double>::lowest();
    double y0 = x0, y1 = x1;
    std::optional<double> thisX;
    for (const Line &line : lines) {
        for (const data::ProgressPoint &point : line.series->points) {
            x0 = std::min(x0, point.x);
            x1 = std::max(x1, point.x);
            y0 = std::min(y0, point.value);
            y1 = std::max(y1, point.value);
            if (point.testnr == thisTest)
                thisX = point.x;
        }
    }
    const QRectF frameArea(area.left(), top, area.width(), area.bottom() - legendHeight - page.mm(2) - top);
    if (x0 > x1) {
        p.setPen(QPen(rule, page.mm(0.25)));
        p.setBrush(Qt::NoBrush);
        p.drawRect(frameArea);
        drawLine(page, QCoreApplication::translate("TestReport", "No values to chart."), axisFont, {frameArea.left(), frameArea.center().y()}, muted,
                 Qt::AlignHCenter, frameArea.width());
        return;
    }
    // Each test has its own place along the axis, one apart.
    if (x1 - x0 < 1.0) {
        x0 -= 1.0;
        x1 += 1.0;
    }
    if (y1 - y0 < 1e-9) {
        y0 -= 1;
        y1 += 1;
    }
    const double yStep = niceStep(y1 - y0, 4);
    y0 = std::floor(y0 / yStep) * yStep;
    y1 = std::ceil(y1 / yStep) * yStep;
    // Room for the points at the ends.
    const double xPad = (x1 - x0) * 0.04;
    x0 -= xPad;
    x1 += xPad;

    QStringList yLabels;
    double yLabelWidth = 0;
    for (double v = y0; v <= y1 + yStep / 2; v += yStep) {
        yLabels << numberText(std::abs(v) < yStep / 1e6 ? 0.0 : v, report.locale);
        yLabelWidth = std::max(yLabelWidth, axis.horizontalAdvance(yLabels.last()));
    }
    const QRectF plot(frameArea.left() + yLabelWidth + page.mm(1.5), frameArea.top(),
                      frameArea.width() - yLabelWidth - page.mm(1.5),
                      frameArea.height() - 2 * axis.lineSpacing() - page.mm(1));
    const auto px = [&](double x) { return plot.left() + (x - x0) / (x1 - x0) * plot.width(); };
    // Room for the points at the lowest and highest grid line too: a point
    // there stays whole inside the plot instead of sitting on its edge.
    const double yPad = (y1 - y0) * 0.05;
    const auto py = [&](double y) {
        return plot.bottom() - (y - (y0 - yPad)) / (y1 - y0 + 2 * yPad) * plot.height();
    };

    // Grid and y labels.
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < yLabels.size(); ++i) {
        const double y = py(y0 + i * yStep);
        p.setPen(QPen(i == 0 ? rule.darker(130) : rule, page.mm(i == 0 ? 0.25 : 0.12)));
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        drawLine(page, yLabels[i], axisFont, {frameArea.left(), y - axis.height() / 2}, muted, Qt::AlignRight,
                 yLabelWidth);
    }
    // The x labels: the days (or test numbers) as the progress window labels
    // them, as many as fit; this test's day first, in ink.  A label that would
    // run into one already placed is left out.
    const int most = std::max(1, int(plot.width() / page.mm(24)));
    QList<data::ProgressAxisLabel> labels = data::progressAxisLabels(report.progress, most);
    if (thisX) {
        for (const data::ProgressAxisLabel &label : data::progressAxisLabels(report.progress, 0)) {
            if (std::abs(label.x - *thisX) < 0.5 || label.text.contains(QString::number(thisTest))) {
                labels.prepend(label);
                break;
            }
        }
    }
    QList<QPair<double, double>> placed;
    for (int i = 0; i < labels.size(); ++i) {
        const QStringList lines = labels[i].text.split(u'\n');
        double w = 0;
        for (const QString &line : lines)
            w = std::max(w, axis.horizontalAdvance(line));
        const double x = labels[i].x;
        const double left = std::clamp(px(x) - w / 2, plot.left() - yLabelWidth, plot.right() - w);
        const bool clash = std::any_of(placed.cbegin(), placed.cend(), [&](const QPair<double, double> &span) {
            return left < span.second + page.mm(2) && left + w > span.first - page.mm(2);
        });
        if (clash)
            continue;
        placed.append({left, left + w});
        const bool mine = i == 0 && thisX;
        for (int l = 0; l < lines.size(); ++l) {
            drawLine(page, lines[l], axisFont, {left, plot.bottom() + page.mm(1) + l * axis.lineSpacing()},
                     mine ? ink : muted, Qt::AlignHCenter, w);
        }
        p.setPen(QPen(rule, page.mm(0.12)));
        p.drawLine(QPointF(px(x), plot.bottom()), QPointF(px(x), plot.bottom() + page.mm(0.8)));
    }

    // This test: a band across the plot.
    if (thisX) {
        p.setPen(Qt::NoPen);
        p.setBrush(highlight);
        p.drawRect(QRectF(px(*thisX) - page.mm(1.2), plot.top(), page.mm(2.4), plot.height()));
    }

    // The lines, clipped to the plot.
    p.save();
    p.setClipRect(plot.adjusted(-page.mm(1.5), -page.mm(1.5), page.mm(1.5), page.mm(1.5)));
    p.setRenderHint(QPainter::Antialiasing);
    for (const Line &line : lines) {
        const QList<data::ProgressPoint> &points = line.series->points;
        if (points.isEmpty())
            continue;
        QPen pen(line.colour, page.mm(line.dashed ? 0.3 : 0.4));
        pen.setJoinStyle(Qt::RoundJoin);
        pen.setCapStyle(Qt::RoundCap);
        if (line.dashed)
            pen.setDashPattern({4, 3});
        QPainterPath path;
        path.moveTo(px(points.first().x), py(points.first().value));
        for (qsizetype i = 1; i < points.size(); ++i)
            path.lineTo(px(points[i].x), py(points[i].value));
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        if (!line.dashed && points.size() <= 60) {
            p.setPen(Qt::NoPen);
            p.setBrush(line.colour);
            for (const data::ProgressPoint &point : points) {
                if (point.testnr != thisTest)
                    p.drawEllipse(QPointF(px(point.x), py(point.value)), page.mm(0.55), page.mm(0.55));
            }
        }
        // This test's point: a ring in the line's colour.
        for (const data::ProgressPoint &point : points) {
            if (point.testnr != thisTest)
                continue;
            p.setPen(QPen(line.dashed ? ink : line.colour, page.mm(0.45)));
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(px(point.x), py(point.value)), page.mm(1.1), page.mm(1.1));
        }
    }
    p.restore();

    // The legend.
    double y = plot.bottom() + 2 * axis.lineSpacing() + page.mm(2.5);
    for (const QList<int> &row : legendRows) {
        double x = area.left();
        for (int i : row) {
            const Entry &e = entries[i];
            const double mid = y + legend.lineSpacing() / 2;
            p.save();
            p.setRenderHint(QPainter::Antialiasing);
            if (e.marker) {
                p.setPen(Qt::NoPen);
                p.setBrush(highlight);
                p.drawRect(QRectF(x + swatch / 2 - page.mm(1.2), mid - page.mm(1.6), page.mm(2.4), page.mm(3.2)));
                p.setPen(QPen(ink, page.mm(0.45)));
                p.setBrush(Qt::white);
                p.drawEllipse(QPointF(x + swatch / 2, mid), page.mm(1.1), page.mm(1.1));
            } else {
                QPen pen(e.colour, page.mm(e.dashed ? 0.3 : 0.4));
                if (e.dashed)
                    pen.setDashPattern({4, 3});
                p.setPen(pen);
                p.drawLine(QPointF(x, mid), QPointF(x + swatch, mid));
            }
            p.restore();
            x += swatch + page.mm(1.2);
            x += drawLine(page, e.text, legendFont, {x, y}, ink) + gap;
        }
        y += legend.lineSpacing();
    }
}

} // namespace

QPageSize defaultPageSize()
{
    // The printers are known to the print module; without it, A4 as
    // without a printer.
    const auto printerPageSize = platform::moduleFunction<DefaultPrinterPageSizeFunction>(
        QStringLiteral("print"), kDefaultPrinterPageSizeSymbol, nullptr);
    if (printerPageSize && printerPageSize().id() == QPageSize::Letter)
        return QPageSize(QPageSize::Letter);
    return QPageSize(QPageSize::A4);
}

QPageLayout reportPageLayout(const QPageSize &size)
{
    return QPageLayout(size, QPageLayout::Portrait, QMarginsF(16, 14, 16, 14), QPageLayout::Millimeter);
}

void ReportPage::paint(QPagedPaintDevice &device) const
{
    QPainter painter(&device);
    const double perMm = device.logicalDpiX() / 25.4;
    paint(painter, QRectF(0, 0, device.width(), device.height()), perMm);
}

void ReportPage::paint(QPainter &painter, const QRectF &area, double dotsPerMm) const
{
    const TestReport &r = m_report;
    const Page page{painter, dotsPerMm};
    const double width = area.width();
    double y = area.top();
    const double left = area.left();

    // Heading: the program and the document at the left, the test at the right.
    const QFont brandFont = page.font(20, true);
    const QFont subFont = page.font(10.5);
    const QFont testFont = page.font(15, true);
    drawLine(page, QStringLiteral("Korvane"), brandFont, {left, y}, accent);
    const double brandHeight = page.metrics(brandFont).lineSpacing();
    drawLine(page, QCoreApplication::translate("TestReport", "Test report"), subFont, {left, y + brandHeight}, muted);
    const QString testText = r.saved ? QCoreApplication::translate("TestReport", "Test %1").arg(r.testnr) : QCoreApplication::translate("TestReport", "Test not saved");
    drawLine(page, testText, testFont, {left, y}, r.saved ? ink : cancelledInk, Qt::AlignRight, width);
    const QString dateText = QCoreApplication::translate("TestReport", "Date %1").arg(r.date);
    const Fitted date = fitText(page, dateText, subFont, width / 2, 1);
    drawFitted(page, date, QRectF(left + width / 2, y + brandHeight, width / 2, date.height()), Qt::AlignRight, ink);
    y += brandHeight + page.metrics(subFont).lineSpacing() + page.mm(2.5);
    painter.setPen(QPen(accent, page.mm(0.5)));
    painter.drawLine(QPointF(left, y), QPointF(left + width, y));
    y += page.mm(5);

    // The athlete with the totals, and the profile, side by side.
    const double column = (width - page.mm(10)) / 2;
    const QString s = QCoreApplication::translate("TestReport", "s");
    double leftHeight = drawBlock(page, QCoreApplication::translate("TestReport", "Athlete"),
                                  {{QCoreApplication::translate("TestReport", "Name"), r.name},
                                   {QCoreApplication::translate("TestReport", "Surname"), r.surname},
                                   {QCoreApplication::translate("TestReport", "Body weight"), withUnit(r.bodyweight, QCoreApplication::translate("TestReport", "kg"))},
                                   {QCoreApplication::translate("TestReport", "Height"), withUnit(r.height, QCoreApplication::translate("TestReport", "cm"))}},
                                  QRectF(left, y, column, 0));
    leftHeight += page.mm(4);
    leftHeight += drawBlock(page, QCoreApplication::translate("TestReport", "Time under tension"),
                            {{QCoreApplication::translate("TestReport", "TUT total"), withUnit(r.tutTotal, s)}, {QCoreApplication::translate("TestReport", "TUT real"), withUnit(r.tutReal, s)}},
                            QRectF(left, y + leftHeight, column, 0));
    leftHeight += page.mm(4);
    leftHeight += drawBlock(page, QCoreApplication::translate("TestReport", "Note"),
                            {{QCoreApplication::translate("TestReport", "Note"), r.note},
                             {QCoreApplication::translate("TestReport", "Tester"), r.tester},
                             {QCoreApplication::translate("TestReport", "Attempt"),
                              r.valid ? QCoreApplication::translate("TestReport", "valid")
                                      : QCoreApplication::translate("TestReport", "invalid")}},
                            QRectF(left, y + leftHeight, column, 0));
    const double rightHeight = drawBlock(page, QCoreApplication::translate("TestReport", "Profile"),
                                         {{QCoreApplication::translate("TestReport", "Profile name"), r.profileName},
                                          {QCoreApplication::translate("TestReport", "Exercise"), r.exercise},
                                          {QCoreApplication::translate("TestReport", "Load"), withUnit(r.load, QCoreApplication::translate("TestReport", "kg"))},
                                          {QCoreApplication::translate("TestReport", "Start rest"), withUnit(r.startRest, s)},
                                          {QCoreApplication::translate("TestReport", "Fro-Phase"), withUnit(r.froPhase, s)},
                                          {QCoreApplication::translate("TestReport", "Rest after Fro-Phase"), withUnit(r.restAfterFro, s)},
                                          {QCoreApplication::translate("TestReport", "To-Phase"), withUnit(r.toPhase, s)},
                                          {QCoreApplication::translate("TestReport", "Rest after To-Phase"), withUnit(r.restAfterTo, s)},
                                          {QCoreApplication::translate("TestReport", "Repetitions per set"), r.repetitions},
                                          {QCoreApplication::translate("TestReport", "Sets"), r.sets},
                                          {QCoreApplication::translate("TestReport", "Rest between sets"), withUnit(r.restSets, s)}},
                                         QRectF(left + column + page.mm(10), y, column, 0));
    y += std::max(leftHeight, rightHeight) + page.mm(5);

    // The sets.
    const QFont headingFont = page.font(10.5, true);
    const QFont cellFont = page.font(9);
    const QFont cellHeadFont = page.font(8, true);
    drawLine(page, QCoreApplication::translate("TestReport", "Sets"), headingFont, {left, y}, accent);
    y += page.metrics(headingFont).lineSpacing() + page.mm(1);
    const double footerHeight = page.mm(6);
    const double chartMin = page.mm(68);
    const double bottom = area.bottom() - footerHeight;
    if (r.setLines.isEmpty()) {
        drawLine(page, QCoreApplication::translate("TestReport", "No set results recorded."), cellFont, {left, y}, muted);
        y += page.metrics(cellFont).lineSpacing() + page.mm(4);
    } else {
        const double headHeight = page.mm(6);
        const double room = bottom - chartMin - page.mm(8) - y - headHeight;
        const double rowHeight = std::clamp(room / r.setLines.size(), page.mm(4.2), page.mm(6));
        const double columns[] = {page.mm(14), page.mm(34), page.mm(34), page.mm(30)};
        const QString heads[] = {QCoreApplication::translate("TestReport", "Set"), QCoreApplication::translate("TestReport", "Planned time in s"), QCoreApplication::translate("TestReport", "Real time in s"), QCoreApplication::translate("TestReport", "Repetitions"),
                                 QCoreApplication::translate("TestReport", "Result")};
        painter.setPen(Qt::NoPen);
        painter.setBrush(shade);
        painter.drawRect(QRectF(left, y, width, headHeight));
        const auto cells = [&](double top, double height, const QStringList &texts, const QFont &font,
                               const QColor &colour) {
            double x = left + page.mm(2);
            const double textTop = top + (height - page.metrics(font).height()) / 2;
            for (int c = 0; c < texts.size(); ++c) {
                if (c < 4) {
                    // Numbers right-aligned under their heading's end.
                    const double w = columns[c] - page.mm(4);
                    drawLine(page, texts[c], font, {x, textTop}, c == 0 ? colour : colour,
                             c == 0 ? Qt::AlignLeft : Qt::AlignRight, w);
                    x += columns[c];
                } else {
                    drawLine(page, texts[c], font, {x, textTop}, colour);
                }
            }
        };
        cells(y, headHeight, {heads[0], heads[1], heads[2], heads[3], heads[4]}, cellHeadFont, ink);
        y += headHeight;
        for (const SetLine &line : r.setLines) {
            QColor colour = ink;
            QString result = QCoreApplication::translate("TestReport", "completed");
            if (line.outcome == SetLine::Outcome::Cancelled) {
                painter.setPen(Qt::NoPen);
                painter.setBrush(cancelledShade);
                painter.drawRect(QRectF(left, y, width, rowHeight));
                result = QCoreApplication::translate("TestReport", "cancelled");
            } else if (line.outcome == SetLine::Outcome::NotRun) {
                colour = muted;
                result = QCoreApplication::translate("TestReport", "not run");
            }
            cells(y, rowHeight, {QString::number(line.set), line.planned, line.realTime, line.repetitions, QString()},
                  cellFont, colour);
            drawLine(page, result, page.font(9, line.outcome == SetLine::Outcome::Cancelled),
                     {left + page.mm(2) + columns[0] + columns[1] + columns[2] + columns[3],
                      y + (rowHeight - page.metrics(cellFont).height()) / 2},
                     line.outcome == SetLine::Outcome::Cancelled ? cancelledInk : colour);
            y += rowHeight;
            painter.setPen(QPen(rule, page.mm(0.12)));
            painter.drawLine(QPointF(left, y), QPointF(left + width, y));
        }
        y += page.mm(6);
    }

    // The progress charts of the exercise, up to this test.
    const QString exercise = r.exercise == dash() ? QCoreApplication::translate("TestReport", "(no exercise)") : r.exercise;
    QString headingText = QCoreApplication::translate("TestReport", "Progress in %1 up to this test (%2)")
                              .arg(exercise, r.progress.tests == 1 ? QCoreApplication::translate("TestReport", "1 test")
                                                                   : QCoreApplication::translate("TestReport", "%1 tests").arg(r.progress.tests));
    if (r.invalidLeftOut == 1)
        headingText += QCoreApplication::translate("TestReport", "; 1 invalid test left out");
    else if (r.invalidLeftOut > 1)
        headingText += QCoreApplication::translate("TestReport", "; %1 invalid tests left out").arg(r.invalidLeftOut);
    const Fitted heading = fitText(page, headingText, headingFont, width, 2);
    drawFitted(page, heading, QRectF(left, y, width, heading.height()), Qt::AlignLeft, accent);
    y += heading.height() + page.mm(2);
    const double chartHeight = std::min(bottom - y - page.mm(4), page.mm(120));
    QList<Line> times;
    for (int i = 0; i < r.progress.setTimes.size(); ++i) {
        const data::ProgressSeries &series = r.progress.setTimes[i];
        const int set = series.name.section(u' ', 1).toInt();
        times.append({&series, setColour(set - 1), false, QCoreApplication::translate("TestReport", "Set %1").arg(set)});
    }
    times.append({&r.progress.plannedSetTime, muted, true, QCoreApplication::translate("TestReport", "planned")});
    drawChart(page, QRectF(left, y, column, chartHeight), QCoreApplication::translate("TestReport", "Real time per set in s"), times, r);
    drawChart(page, QRectF(left + column + page.mm(10), y, column, chartHeight), QCoreApplication::translate("TestReport", "TUT per test in s"),
              {{&r.progress.tutTotal, accent, false, QCoreApplication::translate("TestReport", "TUT total")},
               {&r.progress.tutReal, QColor(214, 39, 40), false, QCoreApplication::translate("TestReport", "TUT real")}},
              r);

    // The foot of the page names the test again, for a sheet that is filed.
    const QFont footFont = page.font(7);
    const double footTop = area.bottom() - page.metrics(footFont).height();
    painter.setPen(QPen(rule, page.mm(0.12)));
    painter.drawLine(QPointF(left, footTop - page.mm(1.5)), QPointF(left + width, footTop - page.mm(1.5)));
    const QString who = QStringList{r.surname, r.name}.join(QStringLiteral(", "));
    const Fitted foot = fitText(page, testText + QStringLiteral(" \u00b7 ") + who, footFont, width * 0.7, 1);
    drawFitted(page, foot, QRectF(left, footTop, width * 0.7, foot.height()), Qt::AlignLeft, muted);
    drawLine(page, QStringLiteral("Korvane " KORVANE_VERSION), footFont, {left, footTop}, muted, Qt::AlignRight,
             width);
}

void writeReportPdf(const QString &path, const ReportPage &page, const QPageSize &size)
{
    const QString name = QFileInfo(path).fileName();
    const auto failed = [&](const QString &reason) {
        return core::Failure(core::Failure::Kind::WriteFailed, path,
                             QCoreApplication::translate("TestReport", "\"%1\" was not written: %2").arg(name, reason));
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw failed(file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setPageLayout(reportPageLayout(size));
        writer.setTitle(reportFileName(page.content()).chopped(4));
        writer.setCreator(QStringLiteral("Korvane"));
        page.paint(writer);
    }
    if (!file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw failed(reason);
    }
    if (!file.commit())
        throw failed(file.errorString());
}

} // namespace report
