#include "app/translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace app {

QStringList availableLanguages()
{
    return {QStringLiteral("en"), QStringLiteral("de")};
}

QString chooseLanguage(const QString &requested)
{
    if (!requested.isEmpty())
        return requested;
    // The C locale names no user-interface language but "C"; it is English.
    for (const QString &name : QLocale::system().uiLanguages()) {
        const QString language = name.section(u'-', 0, 0).section(u'_', 0, 0).toLower();
        if (availableLanguages().contains(language))
            return language;
    }
    return QStringLiteral("en");
}

bool installTranslations(const QString &language)
{
    if (language == QLatin1StringView("en"))
        return true;
    bool complete = true;
    // Korvane's own, one file a library, built into the program.
    const QDir ours(QStringLiteral(":/i18n"));
    const QStringList files = ours.entryList({QStringLiteral("*_%1.qm").arg(language)}, QDir::Files);
    for (const QString &file : files) {
        auto *translator = new QTranslator(QCoreApplication::instance());
        if (!translator->load(ours.filePath(file)) || !QCoreApplication::installTranslator(translator)) {
            complete = false;
            delete translator;
        }
    }
    if (files.isEmpty())
        complete = false;
    // Qt's own dialogs and buttons, where the system has their translation.
    auto *qt = new QTranslator(QCoreApplication::instance());
    if (qt->load(QLocale(language), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
    return complete;
}

} // namespace app
