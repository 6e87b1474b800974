#include "workplace/configplaces.h"

#include "workplace/startup.h"

#include <QDir>

namespace pelmar::config {

Places Places::of(const QString& programFolder)
{
    return {programFolder, accountFolder(qEnvironmentVariable("XDG_CONFIG_HOME"), QDir::homePath()),
            QStringLiteral("/etc/pelmar")};
}

QString accountFolder(const QString& xdgConfigHome, const QString& home)
{
    const QString base =
        QDir::isAbsolutePath(xdgConfigHome) ? xdgConfigHome : home + QStringLiteral("/.config");
    return QDir::cleanPath(base + QStringLiteral("/PelmarEmployee"));
}

Files filesIn(const Places& places)
{
    const auto holds = [](const QString& folder) {
        return !folder.isEmpty() && searchFileName(folder, FileName) == FileName;
    };
    const auto file = [](const QString& folder) { return QDir(folder).filePath(FileName); };
    const QString account = file(places.account);
    if (holds(places.program))
        return {file(places.program), file(places.program)};
    if (holds(places.account))
        return {account, account};
    if (holds(places.machine))
        return {file(places.machine), account, true};
    return {QString(), account};
}

} // namespace pelmar::config
