#pragma once

// The test report's page: the content of one test laid out with QPainter on
// any paged device (a PDF writer, a printer, the print preview).  Text stays
// text and the chart is drawn as lines and shapes, so a PDF of it is
// searchable and sharp at any zoom.

#include "core/errors.h"
#include "model/testreport.h"

#include <QPageLayout>
#include <QPageSize>

class QPagedPaintDevice;
class QPainter;
class QRectF;

namespace report {

// Letter when the default printer's default paper is Letter; A4 otherwise.
QPageSize defaultPageSize();
// Portrait with the report's margins.
QPageLayout reportPageLayout(const QPageSize &size = defaultPageSize());

class ReportPage {
public:
    explicit ReportPage(TestReport report) : m_report(std::move(report)) {}

    // Paints the report on the current page of `device`, within the paint
    // rectangle of the layout the device has.
    void paint(QPagedPaintDevice &device) const;
    // Paints it into `area` (device pixels) of a painter whose device has
    // `dotsPerMm` pixels per millimetre.
    void paint(QPainter &painter, const QRectF &area, double dotsPerMm) const;

    const TestReport &content() const { return m_report; }

private:
    TestReport m_report;
};

// Writes the report as a one-page PDF to `path` through a temporary file
// that replaces an older file only when the whole document was written.
// Throws a core::Failure (WriteFailed) naming the file and the reason; an
// older file is kept.
void writeReportPdf(const QString &path, const ReportPage &page, const QPageSize &size = defaultPageSize());

} // namespace report
