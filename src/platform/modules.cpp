#include "platform/modules.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QLibrary>
#include <QMutex>

#include <memory>

#ifndef KORVANE_MODULES_FROM_PROGRAM
#define KORVANE_MODULES_FROM_PROGRAM "../lib/korvane/modules"
#endif

namespace platform {

QStringList moduleFolders()
{
    const QString program = QCoreApplication::applicationDirPath();
    return {QDir(program).filePath(QStringLiteral("modules")),
            QDir::cleanPath(program + QStringLiteral("/../modules")),
            QDir::cleanPath(QDir(program).filePath(QStringLiteral(KORVANE_MODULES_FROM_PROGRAM)))};
}

QFunctionPointer moduleFunction(const QString &name, const char *symbol, QString *error)
{
    static QMutex mutex;
    // Never unloaded: objects the modules made live until the program ends.
    static QHash<QString, std::shared_ptr<QLibrary>> loaded;
    const QMutexLocker lock(&mutex);
    std::shared_ptr<QLibrary> &library = loaded[name];
    if (!library) {
        QString reasons;
        for (const QString &folder : moduleFolders()) {
            auto candidate = std::make_shared<QLibrary>(QDir(folder).filePath(QStringLiteral("korvane_") + name));
            if (candidate->load()) {
                library = std::move(candidate);
                break;
            }
            reasons = candidate->errorString();
        }
        if (!library) {
            loaded.remove(name);
            if (error)
                *error = reasons;
            return nullptr;
        }
    }
    const QFunctionPointer function = library->resolve(symbol);
    // Qt's own error text names no symbol once the library is loaded.
    if (!function && error)
        *error = QStringLiteral("%1: no function %2").arg(library->fileName(), QString::fromLatin1(symbol));
    return function;
}

} // namespace platform
