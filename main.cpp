#include "app/shared.h"
#include "platform/clock.h"
#include "platform/widgets/qtdialogs.h"
#include "ui/frmtimelog.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PelmarEmployee"));

    pelmar::Shared shared;
    pelmar::QtDialogs dialogs;
    const pelmar::SystemClock clock;
    pelmar::FrmTimeLog window(shared, dialogs, clock, QApplication::applicationDirPath());
    dialogs.setOwner(&window);

    window.guarded([&] { window.Form_Load(); });
    window.show();
    return QApplication::exec();
}
