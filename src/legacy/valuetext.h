#pragma once

// The values of Paradox fields in the forms the program's tables hold.

#include "legacy/paradoxtable.h"

#include <QString>

#include <optional>

namespace legacy {

// The text a value takes in the program's tables: decimal comma in the
// shortest form, "dd.mm.yyyy" dates, "hh:mm:ss" times.  `replaced` is set
// when the value could not be taken whole.
QString textForm(const FieldValue &value, bool *replaced = nullptr);
// The whole number a value holds, if it is one.
std::optional<qint64> wholeNumber(const FieldValue &value);

} // namespace legacy
