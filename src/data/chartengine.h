#pragma once

// What the chart module (korvane_charts, loaded when the first progress
// window opens) offers: chart views drawn by Qt Charts and the SVG picture of
// a widget.  Only this header is shared between the module and the program,
// so the module carries no copy of the program's own code.

#include <QList>
#include <QPair>
#include <QPointF>
#include <QSizeF>
#include <QString>

#include <functional>

class QIODevice;
class QObject;
class QWidget;

namespace data {

// One line of a chart, with its points as drawn.
struct ChartLine {
    enum class Look { Marked, Thin, Reference };
    QString name;
    QList<QPointF> points;
    Look look = Look::Marked;
};

// Everything one chart shows.  The x axis places each test at a whole
// number and labels some of them; the y axis is made to a nice range from
// yMin to yMax.
struct ChartContent {
    QString title;
    QString xTitle;
    double xMax = 0;
    QList<QPair<QString, double>> xLabels;   // text, place
    QString yTitle;
    double yMin = 0;
    double yMax = 1;
    QList<ChartLine> lines;
    QString markedName;                      // the marks, when there are any
    QList<QPointF> marked;
};

// The text shown while a line's point is hovered (empty: none).
using ChartHover = std::function<QString(QObject *line, const QPointF &value)>;

// The module's functions, exported under the names below.
//   makeChartView: an empty chart view, a child of `parent`.
//   fillChart: shows `content` in a view made by makeChartView; returns the
//     lines' objects in the order of content.lines, which `hover` is given.
//   axisSpans: the spans of the x and y axes a line of fillChart is drawn on.
//   writeSvg: draws `widget` as an SVG picture on `device`.
using MakeChartViewFunction = QWidget *(*)(QWidget *parent);
using FillChartFunction = QList<QObject *> (*)(QWidget *view, const ChartContent &content, const ChartHover &hover);
using AxisSpansFunction = QSizeF (*)(QObject *line);
using WriteSvgFunction = bool (*)(QWidget *widget, QIODevice *device, const QString &title,
                                  const QString &description);
inline constexpr char kMakeChartViewSymbol[] = "korvaneMakeChartView";
inline constexpr char kFillChartSymbol[] = "korvaneFillChart";
inline constexpr char kAxisSpansSymbol[] = "korvaneAxisSpans";
inline constexpr char kWriteSvgSymbol[] = "korvaneWriteSvg";

} // namespace data
