#include "report/reportpreview.h"

#include "platform/guard.h"
#include "report/reportpage.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QToolBar>

namespace report {

void showReportPreview(QWidget *parent, const ReportPage &page, const QString &folder)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(reportPageLayout(defaultPageSize()));
    const QString fileName = reportFileName(page.content());
    printer.setDocName(fileName.chopped(4));

    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(QCoreApplication::translate("TestReport", "Test report"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&](QPrinter *target) { page.paint(*target); });
    if (auto *tools = dialog.findChild<QToolBar *>()) {
        tools->addSeparator();
        QAction *save = tools->addAction(QCoreApplication::translate("TestReport", "Save as PDF..."));
        save->setObjectName(QStringLiteral("SavePdfAction"));
        QObject::connect(save, &QAction::triggered, &dialog, [&] {
            platform::runGuarded(&dialog, [&] {
                const QString path = QFileDialog::getSaveFileName(
                    &dialog, QCoreApplication::translate("TestReport", "Save as PDF"),
                    QDir(folder).absoluteFilePath(fileName),
                    QCoreApplication::translate("TestReport", "PDF files (*.pdf)"));
                if (!path.isEmpty())
                    writeReportPdf(path, page, printer.pageLayout().pageSize());
            });
        });
    }
    dialog.exec();
}

} // namespace report
