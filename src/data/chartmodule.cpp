// The chart module: Qt Charts and Qt SVG behind the functions of
// data/chartengine.h.

#include "data/chartengine.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QLegend>
#include <QLineSeries>
#include <QLocale>
#include <QPainter>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QToolTip>
#include <QValueAxis>

extern "C" Q_DECL_EXPORT QWidget *korvaneMakeChartView(QWidget *parent)
{
    auto *chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->legend()->setMarkerShape(QLegend::MarkerShapeFromSeries);
    // Numbers on the axes with the program's decimal comma.
    chart->setLocale(QLocale(QLocale::German, QLocale::Germany));
    chart->setLocalizeNumbers(true);
    chart->setMargins(QMargins(4, 4, 4, 4));
    auto *view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

extern "C" Q_DECL_EXPORT QList<QObject *> korvaneFillChart(QWidget *view, const data::ChartContent &content,
                                                           const data::ChartHover &hover)
{
    QChart *chart = static_cast<QChartView *>(view)->chart();
    chart->removeAllSeries();
    for (QAbstractAxis *axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    chart->setTitle(content.title);

    auto *xAxis = new QCategoryAxis;
    xAxis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    xAxis->setTitleText(content.xTitle);
    xAxis->setStartValue(-0.5);
    xAxis->setRange(-0.5, content.xMax + 0.5);
    for (const auto &[text, place] : content.xLabels)
        xAxis->append(text, place);
    auto *yAxis = new QValueAxis;
    yAxis->setLabelFormat(QStringLiteral("%.4g"));
    yAxis->setTitleText(content.yTitle);
    chart->addAxis(xAxis, Qt::AlignBottom);
    chart->addAxis(yAxis, Qt::AlignLeft);

    QList<QObject *> lines;
    for (const data::ChartLine &source : content.lines) {
        auto *line = new QLineSeries;
        line->setName(source.name);
        line->replace(source.points);
        switch (source.look) {
        case data::ChartLine::Look::Reference:
            line->setPen(QPen(QColor(90, 90, 90), 2, Qt::DashLine));
            break;
        case data::ChartLine::Look::Marked:
            line->setPointsVisible(true);
            break;
        case data::ChartLine::Look::Thin: {
            // A thin line draws much faster where points lie close together.
            QPen pen = line->pen();
            pen.setWidth(1);
            line->setPen(pen);
            break;
        }
        }
        chart->addSeries(line);
        line->attachAxis(xAxis);
        line->attachAxis(yAxis);
        QObject::connect(line, &QXYSeries::hovered, line, [view, line, hover](const QPointF &value, bool state) {
            if (!state) {
                QToolTip::hideText();
                return;
            }
            const QString text = hover ? hover(line, value) : QString();
            if (!text.isEmpty())
                QToolTip::showText(QCursor::pos(), text, view->window());
        });
        lines << line;
    }
    if (!content.marked.isEmpty()) {
        auto *marks = new QScatterSeries;
        marks->setName(content.markedName);
        marks->setMarkerShape(QScatterSeries::MarkerShapeRotatedRectangle);
        marks->setMarkerSize(15);
        marks->setBrush(Qt::NoBrush);
        marks->setPen(QPen(QColor(220, 0, 0), 2));
        marks->append(content.marked);
        chart->addSeries(marks);
        marks->attachAxis(xAxis);
        marks->attachAxis(yAxis);
    }
    yAxis->setRange(content.yMin, content.yMax);
    yAxis->applyNiceNumbers();
    return lines;
}

extern "C" Q_DECL_EXPORT QSizeF korvaneAxisSpans(QObject *line)
{
    QSizeF spans(1, 1);
    if (auto *series = qobject_cast<QAbstractSeries *>(line)) {
        for (QAbstractAxis *axis : series->attachedAxes()) {
            if (auto *v = qobject_cast<QValueAxis *>(axis)) {
                const double span = std::max(1e-9, v->max() - v->min());
                if (axis->orientation() == Qt::Horizontal)
                    spans.setWidth(span);
                else
                    spans.setHeight(span);
            }
        }
    }
    return spans;
}

extern "C" Q_DECL_EXPORT bool korvaneWriteSvg(QWidget *widget, QIODevice *device, const QString &title,
                                              const QString &description)
{
    QSvgGenerator generator;
    generator.setOutputDevice(device);
    generator.setSize(widget->size());
    generator.setViewBox(QRect(QPoint(0, 0), widget->size()));
    generator.setTitle(title);
    generator.setDescription(description);
    QPainter painter;
    if (!painter.begin(&generator))
        return false;
    widget->render(&painter);
    return painter.end();
}
