#include "platform/clock.h"
#include "ui/timeclockwindow.h"
#include "ui/widgets/qtdialogs.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PelmarEmployee"));

    pelmar::QtDialogs dialogs;
    const pelmar::SystemClock clock;
    pelmar::TimeClockWindow window(dialogs, clock, QApplication::applicationDirPath());
    dialogs.setOwner(&window);

    window.start();
    window.show();
    return QApplication::exec();
}
