#include "store/session.h"

#include "store/postgres.h"
#include "store/sqlitesession.h"

#include <QDir>
#include <QFileInfo>
#include <map>
#include <mutex>
#include <sys/vfs.h>

namespace pelmar::sql {

bool isServerLocation(const QString& location)
{
    return location.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           location.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

QString shownLocation(const QString& location)
{
    return isServerLocation(location) ? withoutPassword(location, location)
                                      : QDir::toNativeSeparators(location);
}

bool reachedOverNetwork(const QString& location)
{
    if (isServerLocation(location))
        return true;
    // The file system's magic number, as the kernel reports it: one call,
    // where reading the mount table would cost an action's time.
    struct statfs fs;
    if (statfs(QFile::encodeName(QFileInfo(location).absolutePath()).constData(), &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x6969UL:     // NFS
    case 0x517BUL:     // SMB
    case 0xFF534D42UL: // CIFS
    case 0xFE534D42UL: // SMB2
    case 0x65735546UL: // FUSE: sshfs, s3fs and the like
    case 0x01021997UL: // 9P
    case 0x00C36400UL: // Ceph
    case 0x5346414FUL: // AFS
    case 0x73757245UL: // Coda
        return true;
    default:
        return false;
    }
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
