#include "ui/language.h"

#include "platform/profile.h"
#include "workplace/configplaces.h"
#include "workplace/startup.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace pelmar::language {

QString configured(const QString& programFolder)
{
    const QString file = config::filesIn(config::Places::of(programFolder)).read;
    if (file.isEmpty())
        return {};
    return profile::getString(config::Section, Key, QString(), file).value_or(QString());
}

QLocale chosen(const QString& configuredValue)
{
    return configuredValue.isEmpty() ? QLocale::system() : QLocale(configuredValue);
}

QString install(QCoreApplication& app, const QLocale& locale)
{
    // The first language the user reads decides: LANGUAGE=en:es means English,
    // and the texts are written in English already.
    const QStringList wanted = locale.uiLanguages();
    const QLocale first = wanted.isEmpty() ? locale : QLocale(wanted.first());
    if (first.language() == QLocale::English || first.language() == QLocale::C)
        return {};

    auto* own = new QTranslator(&app);
    if (!own->load(locale, QStringLiteral("pelmar"), QStringLiteral("_"), QStringLiteral(":/i18n"))) {
        delete own;
        return {};
    }
    QCoreApplication::installTranslator(own);

    // Qt's buttons and file dialog in the language of the program's texts,
    // not in another one that LANGUAGE happens to list first.
    auto* qt = new QTranslator(&app);
    if (qt->load(QLocale(own->language()), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
    return own->language();
}

} // namespace pelmar::language
