// The print module: Qt Print Support behind the functions of
// report/printengine.h.

#include "report/printengine.h"

#include <QAction>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QToolBar>

extern "C" Q_DECL_EXPORT QPageSize korvaneDefaultPrinterPageSize()
{
    const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
    return printer.isNull() ? QPageSize() : printer.defaultPageSize();
}

extern "C" Q_DECL_EXPORT void korvaneShowPrintPreview(QWidget *parent, const QPageLayout &layout,
                                                      const QString &documentName, const QString &title,
                                                      const std::function<void(QPagedPaintDevice &)> &paint,
                                                      const report::PreviewAction &action)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(layout);
    printer.setDocName(documentName);

    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(title);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&](QPrinter *target) { paint(*target); });
    if (auto *tools = dialog.findChild<QToolBar *>()) {
        tools->addSeparator();
        QAction *added = tools->addAction(action.text);
        added->setObjectName(action.objectName);
        QObject::connect(added, &QAction::triggered, &dialog,
                         [&] { action.triggered(&dialog, printer.pageLayout()); });
    }
    dialog.exec();
}
