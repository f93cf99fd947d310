#pragma once

#include <QLibrary>
#include <QString>

namespace core {

// Sets `function` to the function `symbol` of the loaded `library`, typed as
// the caller's pointer; null when the library has no such function, and
// then, unless `error` already holds one, the library's reason in `error`.
// For the system libraries Korvane loads when first needed rather than
// links.
template <typename Function>
bool resolveFunction(QLibrary &library, Function &function, const char *symbol, QString *error = nullptr)
{
    function = reinterpret_cast<Function>(library.resolve(symbol));
    if (!function && error && error->isEmpty())
        *error = library.errorString();
    return function != nullptr;
}

} // namespace core
