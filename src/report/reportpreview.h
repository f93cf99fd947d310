#pragma once

#include <QString>

class QWidget;

namespace report {

class ReportPage;

// The print preview of a report over `parent`, modal: Print, and "Save as
// PDF..." proposing the report's file name in `folder`.
void showReportPreview(QWidget *parent, const ReportPage &page, const QString &folder);

} // namespace report
