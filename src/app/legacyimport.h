#pragma once

// At start, before any table is opened: offers to convert the Paradox tables
// found in the working folder, converts them on yes and reports the outcome.

#include "legacy/conversion.h"

#include <QString>

class QWidget;

namespace legacy {

// Finishes an interrupted conversion, then looks for Paradox tables in
// `folder` and asks whether to convert them.  Returns whether start-up may
// go on: false when the user declined, a file was refused or the
// conversion failed (the boxes have said why; the folder is as it was,
// except for a finished conversion).  Every box goes through
// platform::messageBoxes().
bool offerLegacyConversion(const QString &folder, QWidget *parent = nullptr);

// The texts of the boxes.
QString conversionQuestion(const QString &folder, const Survey &survey);
QString refusalMessage(const QString &folder, const QList<Refusal> &refusals);
QString conversionReport(const ConversionResult &result);
QString finishedInterruptedMessage(const QString &folder, const QString &keptFolder);

} // namespace legacy
