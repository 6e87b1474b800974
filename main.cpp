#include "platform/clock.h"
#include "ui/language.h"
#include "ui/timeclockwindow.h"
#include "ui/widgets/qtdialogs.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PelmarEmployee"));
    // Before any window: each text is translated when its widget is made.
    pelmar::language::install(
        app, pelmar::language::chosen(pelmar::language::configured(QApplication::applicationDirPath())));

    pelmar::QtDialogs dialogs;
    const pelmar::SystemClock clock;
    pelmar::TimeClockWindow window(dialogs, clock, QApplication::applicationDirPath());
    dialogs.setOwner(&window);

    window.start();
    window.show();
    return QApplication::exec();
}
