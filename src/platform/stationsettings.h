#pragma once

// What this station remembers between starts, in the user's settings file.
// The file also names folders and servers, so it is readable by the user
// only: it is made private before the first write, and a file written
// before is made private too.

#include <QSettings>
#include <QString>

namespace platform {

// The user's settings, the file made private first (Windows keeps them in
// the registry, the user's own).
QSettings stationSettings();

// Who runs the tests at this station, as typed last in the clock window;
// empty when nobody was.  Written only when it changed.
QString rememberedTester();
void rememberTester(const QString &tester);

} // namespace platform
