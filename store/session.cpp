#include "store/session.h"

#include "store/postgres.h"
#include "store/sqlitesession.h"

#include <QDir>
#include <QFileInfo>
#include <map>
#include <mutex>

namespace pelmar::sql {

bool isServerLocation(const QString& location)
{
    return location.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           location.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

std::shared_ptr<Session> Session::open(const QString& location)
{
    static std::mutex mutex;
    static std::map<QString, std::weak_ptr<Session>> alive;
    // Every action comes here: the session still good costs a stat for a
    // file and nothing for a server.
    const bool server = isServerLocation(location);
    const QString key = server                           ? location
                        : QDir::isAbsolutePath(location) ? QDir::cleanPath(location)
                                                         : QFileInfo(location).absoluteFilePath();
    std::lock_guard<std::mutex> lock(mutex);
    if (std::shared_ptr<Session> session = alive[key].lock(); session && !session->stale())
        return session;
    std::shared_ptr<Session> session;
    if (server)
        session = PgSession::connect(location);
    else
        session = SqliteSession::open(location);
    alive[key] = session;
    return session;
}

std::shared_ptr<Session> Session::openPrivate(const QString& location)
{
    if (isServerLocation(location))
        return PgSession::connect(location);
    return SqliteSession::openPrivate(location);
}

} // namespace pelmar::sql
