#pragma once

// Korvane's modules: the parts that link a large library of the system
// (speech, charts) live in libraries of their own, so that a start does not
// load and bind what only a later action needs.  A module is loaded by the
// first call that asks for one of its functions and stays loaded.

#include <QFunctionPointer>
#include <QString>
#include <QStringList>

namespace platform {

// The exported function `symbol` of the module `name` ("speech" is the
// library korvane_speech).  Null, with the reason in `error`, when neither
// the module nor the function is found.  Safe from any thread.
QFunctionPointer moduleFunction(const QString &name, const char *symbol, QString *error);

// The same, as the function type the module's header names.
template <typename Function>
Function moduleFunction(const QString &name, const char *symbol, QString *error)
{
    return reinterpret_cast<Function>(moduleFunction(name, symbol, error));
}

// Where modules are looked for, first to last: beside the program (the
// build folder), beside the program's folder (tests and benchmarks in the
// build folder) and in the installed library folder.
QStringList moduleFolders();

} // namespace platform
