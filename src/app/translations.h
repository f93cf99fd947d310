#pragma once

#include <QString>
#include <QStringList>

namespace app {

// The languages Korvane speaks: English, the language of its source texts,
// and German.
QStringList availableLanguages();

// The language to speak: `requested` ("en" or "de", from --language) when
// given, else the first of the system's user-interface languages that Korvane
// speaks, else English.  A C or POSIX locale gives English.
QString chooseLanguage(const QString &requested);

// Installs Korvane's and Qt's own translations for `language` into the
// running application; English installs none.  Returns false when a
// translation of Korvane's could not be loaded.
bool installTranslations(const QString &language);

} // namespace app
