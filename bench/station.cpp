#include "bench/station.h"

#include "bench/generator.h"
#include "ui/timeclockcontrols.h"
#include "ui/widgets/glassbutton.h"
#include "ui/widgets/namelist.h"
#include "workplace/startup.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <stdexcept>
#include <string>

namespace pelmar::bench {

void writeIni(const QString& programFolder, const QString& location)
{
    config::createFile(QDir(programFolder).filePath(config::FileName), location);
}

Station::Station(const QString& programFolder, double now) : clock(now)
{
    window = std::make_unique<TimeClockWindow>(dialogs, clock, programFolder);
}

void Station::setNow(double serial)
{
    clock.set(serial);
    QMetaObject::invokeMethod(window->findChild<QTimer*>(QString::fromLatin1(controls::Timer)), "timeout");
}

void Station::pick(int id)
{
    if (!window->findChild<NameList*>(QString::fromLatin1(controls::NameList))->selectName(fullName(id)))
        throw std::runtime_error("employee not in the list: " + fullName(id).toStdString());
    window->findChild<QLineEdit*>(QString::fromLatin1(controls::Password))->setText(password(id));
}

void Station::expectMessages(int count, const char* action)
{
    const QStringList shown = dialogs.takeMessages();
    if (shown.size() != count)
        throw std::runtime_error(std::string(action) +
                                 ": unexpected messages: " + shown.join(QStringLiteral(" | ")).toStdString());
}

void Station::expectCaption(const char* name, const char* caption, const char* action)
{
    const auto* button = window->findChild<GlassButton*>(QString::fromLatin1(name));
    if (button->caption() != QLatin1String(caption) || !button->isVisibleTo(window.get()))
        throw std::runtime_error(std::string(action) + ": expected '" + caption + "', the button reads '" +
                                 button->caption().toStdString() + "'");
}

QAbstractButton* Station::control(const char* name) const
{
    return window->findChild<QAbstractButton*>(QString::fromLatin1(name));
}

QString Station::label(const char* name) const
{
    return window->findChild<QLabel*>(QString::fromLatin1(name))->text();
}

} // namespace pelmar::bench
