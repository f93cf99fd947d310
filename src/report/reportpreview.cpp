#include "report/reportpreview.h"

#include "core/errors.h"
#include "platform/guard.h"
#include "platform/modules.h"
#include "report/printengine.h"
#include "report/reportpage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QPagedPaintDevice>

namespace report {

void showReportPreview(QWidget *parent, const ReportPage &page, const QString &folder)
{
    QString missing;
    const auto showPreview =
        platform::moduleFunction<ShowPrintPreviewFunction>(QStringLiteral("print"), kShowPrintPreviewSymbol, &missing);
    if (!showPreview)
        throw core::Failure(QCoreApplication::translate("TestReport", "The print preview cannot be shown: %1")
                                .arg(missing));
    const QString fileName = reportFileName(page.content());
    PreviewAction savePdf;
    savePdf.text = QCoreApplication::translate("TestReport", "Save as PDF...");
    savePdf.objectName = QStringLiteral("SavePdfAction");
    savePdf.triggered = [&](QWidget *dialog, const QPageLayout &layout) {
        platform::runGuarded(dialog, [&] {
            const QString path = QFileDialog::getSaveFileName(
                dialog, QCoreApplication::translate("TestReport", "Save as PDF"), QDir(folder).absoluteFilePath(fileName),
                QCoreApplication::translate("TestReport", "PDF files (*.pdf)"));
            if (!path.isEmpty())
                writeReportPdf(path, page, layout.pageSize());
        });
    };
    showPreview(parent, reportPageLayout(defaultPageSize()), fileName.chopped(4),
                QCoreApplication::translate("TestReport", "Test report"),
                [&](QPagedPaintDevice &device) { page.paint(device); }, savePdf);
}

} // namespace report
