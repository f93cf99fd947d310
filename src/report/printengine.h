#pragma once

// What the print module (korvane_print, loaded when a report is first
// previewed or its paper chosen) offers: the default printer's paper and the
// print preview.  Only this header is shared between the module and the
// program, so the module carries no copy of the program's own code.

#include <QPageLayout>
#include <QPageSize>
#include <QString>

#include <functional>

class QPagedPaintDevice;
class QWidget;

namespace report {

// The one action the preview adds to its tool bar.
struct PreviewAction {
    QString text;
    QString objectName;
    // Called with the preview dialog and the page layout chosen in it.
    std::function<void(QWidget *dialog, const QPageLayout &layout)> triggered;
};

// The module's functions, exported under the names below.
//   defaultPrinterPageSize: the default printer's paper; invalid without one.
//   showPrintPreview: the modal print preview of pages drawn by `paint`.
using DefaultPrinterPageSizeFunction = QPageSize (*)();
using ShowPrintPreviewFunction = void (*)(QWidget *parent, const QPageLayout &layout, const QString &documentName,
                                          const QString &title,
                                          const std::function<void(QPagedPaintDevice &)> &paint,
                                          const PreviewAction &action);
inline constexpr char kDefaultPrinterPageSizeSymbol[] = "korvaneDefaultPrinterPageSize";
inline constexpr char kShowPrintPreviewSymbol[] = "korvaneShowPrintPreview";

} // namespace report
