#pragma once

#include <QLocale>
#include <QString>

class QCoreApplication;

// The language the windows speak: the configuration file's Language= key
// (a terminal's own choice), else the system's locale. Only the words
// change; dates, times and numbers keep the forms of the records.
namespace pelmar::language {

// The key in the configuration file's PELMAREMPLOYEE section.
inline const QString Key = QStringLiteral("Language");

// The key's value in the configuration file that a program in programFolder
// reads; empty when there is no file or no key.
QString configured(const QString& programFolder);

// The locale for a configured value ("es", "es_US", "en"), or the system's
// when the value is empty.
QLocale chosen(const QString& configured);

// Installs the program's translation for locale, and Qt's own so its
// dialogs agree, on app. English, and a language with no translation,
// install nothing. Returns the language loaded ("es"), empty for none.
QString install(QCoreApplication& app, const QLocale& locale);

} // namespace pelmar::language
