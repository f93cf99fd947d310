#include "platform/stationsettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace platform {
namespace {

const QString kTesterKey = QStringLiteral("Clock/Tester");

} // namespace

QSettings stationSettings()
{
#ifndef Q_OS_WIN
    // Windows keeps them in the user's own registry hive, which is no file
    // (its name would make folders at the root of the current drive).
    const QString path = QSettings(QStringLiteral("Korvane"), QStringLiteral("Korvane")).fileName();
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!QFileInfo::exists(path))
        QFile(path).open(QIODevice::WriteOnly);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
#endif
    return QSettings(QStringLiteral("Korvane"), QStringLiteral("Korvane"));
}

QString rememberedTester()
{
    // Read without the file being made: a station that never named a
    // tester writes nothing.
    return QSettings(QStringLiteral("Korvane"), QStringLiteral("Korvane")).value(kTesterKey).toString();
}

void rememberTester(const QString &tester)
{
    if (tester == rememberedTester())
        return;
    QSettings stored = stationSettings();
    if (tester.isEmpty())
        stored.remove(kTesterKey);
    else
        stored.setValue(kTesterKey, tester);
    stored.sync();
}

} // namespace platform
