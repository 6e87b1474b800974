#include "platform/clock.h"
#include "ui/admin/adminwindow.h"
#include "ui/language.h"
#include "ui/widgets/qtdialogs.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pelmar-admin"));
    // Before any window: each text is translated when its widget is made.
    pelmar::language::install(
        app, pelmar::language::chosen(pelmar::language::configured(QApplication::applicationDirPath())));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The administrator's window of the Pelmar time clock."));
    parser.addHelpOption();
    const QCommandLineOption database(QStringLiteral("database"),
                                      QStringLiteral("The folder that holds Pelmar.mdb, or a server's URI."),
                                      QStringLiteral("FOLDER|URI"));
    parser.addOption(database);
    parser.process(app);

    pelmar::QtDialogs dialogs;
    const pelmar::SystemClock clock;
    pelmar::AdminWindow window(dialogs, clock, QApplication::applicationDirPath());
    dialogs.setOwner(&window);
    if (!window.start(parser.value(database)))
        return 1;
    window.show();
    return QApplication::exec();
}
