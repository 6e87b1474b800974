#include "workplace/startup.h"

#include "platform/dialogs.h"
#include "platform/profile.h"
#include "platform/runerror.h"
#include "store/engine.h"
#include "store/schema.h"
#include "workplace/workplace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace pelmar {

namespace config {

QString searchFileName(const QString& folder, const QString& name)
{
    const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot);
    if (entries.contains(name))
        return name;
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return QString();
}

void createFile(const QString& path, const QString& folder)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw RunError::of(err::PathFileAccess);
    file.write(QStringLiteral("[%1]\r\n%2=%3\r\n").arg(Section, Key, folder).toUtf8());
    if (!file.commit())
        throw RunError::of(err::PathFileAccess);
}

QString readFolder(const QString& path)
{
    constexpr int BufferSize = 255;
    const std::optional<QString> read = profile::getString(Section, Key, QString(), path);
    // A file too long to read holds a value too long to use.
    if (!read)
        throw RunError::of(err::InvalidArgument);
    // At most 254 characters and a NUL, padded with spaces to the buffer's
    // size; the folder ends one character before the first pair of spaces,
    // so a value with no room left for a pair is refused.
    const QString buffer =
        (read->left(BufferSize - 1) + QChar(0)).leftJustified(BufferSize, QLatin1Char(' '));
    const qsizetype pair = buffer.indexOf(QLatin1String("  "));
    if (pair < 1)
        throw RunError::of(err::InvalidArgument);
    return buffer.left(pair - 1);
}

QString databasePath(const QString& folder)
{
    if (isServerLocation(folder))
        return folder;
    return folder + QLatin1Char('/') + names::DatabaseFile;
}

QString folderOfDatabaseFile(const QString& path)
{
    const qsizetype at = path.indexOf(QLatin1Char('/') + names::DatabaseFile);
    if (at < 0)
        throw RunError::of(err::InvalidArgument);
    return path.left(at);
}

std::optional<QString> locateDatabase(Dialogs& dialogs)
{
    const std::optional<QString> picked =
        dialogs.openFileName(QCoreApplication::translate("pelmar::Startup", "Find the database location"),
                             QCoreApplication::translate("pelmar::Startup", "Database Files (Pelmar.mdb)") +
                                 QStringLiteral("|Pelmar.mdb"),
                             locatorStartFolder());
    if (!picked)
        return std::nullopt;
    return folderOfDatabaseFile(*picked);
}

QString locatorStartFolder()
{
    return QDir::homePath();
}

int offlineDays(const Places& places)
{
    const QString file = filesIn(places).read;
    if (file.isEmpty())
        return 14;
    bool number = false;
    const int days = profile::getString(Section, QStringLiteral("OfflineDays"), QString(), file)
                         .value_or(QString())
                         .toInt(&number);
    return number && days >= 0 ? days : 14;
}

} // namespace config

namespace {

bool isLocationError(int number)
{
    return number == err::CouldNotFindFile || number == err::PathNotValid || number == err::FileNameNotValid;
}

} // namespace

Startup::Startup(Workplace& workplace, Dialogs& dialogs, config::Places places, Locator locator)
    : m_workplace(workplace), m_dialogs(dialogs), m_places(std::move(places)), m_locator(std::move(locator))
{
}

bool Startup::locate()
{
    // A cancelled locator keeps the folder picked earlier in this run.
    if (std::optional<QString> folder = m_locator()) {
        m_newDbFolder = *folder;
        return true;
    }
    return false;
}

bool Startup::readsBackAsWritten(const QString& read, const QString& iniPath)
{
    if (read == m_newDbFolder)
        return true;
    // Read again, it would fail the same way for good.
    m_dialogs.messageBox(
        QCoreApplication::translate("pelmar::Startup",
                                    "The database location '%1' was saved in %2 but reads back as '%3', so "
                                    "it can't be used. Contact the system administration for help.")
            .arg(m_newDbFolder, QDir::toNativeSeparators(iniPath), read));
    return false;
}

void Startup::open(const QString& folder)
{
    m_workplace.openDatabase(config::databasePath(folder));
    m_workplace.readNotifyHours();
    m_workplace.createMail();
}

void Startup::keepPicked(const config::Files& files, Source& source)
{
    source.unsaved.reset();
    if (files.machineWide) {
        // The machine's database out of reach is an outage, not a reason to
        // re-point this account for good: the next start reads the
        // machine's file again.
        m_dialogs.messageBox(
            QCoreApplication::translate("pelmar::Startup",
                                        "The location you picked is used only until the program closes; "
                                        "the next start uses the database configured for this computer "
                                        "(in %1) again.")
                .arg(QDir::toNativeSeparators(source.iniPath)));
        source.unsaved = m_newDbFolder;
        return;
    }
    // The machine's file is read only: the account's own, once written, is
    // the one read back.
    QDir().mkpath(QFileInfo(files.write).absolutePath());
    source.written = profile::writeString(config::Section, config::Key, m_newDbFolder, files.write);
    if (source.written) {
        source.iniPath = files.write;
    } else {
        m_dialogs.messageBox(
            QCoreApplication::translate("pelmar::Startup",
                                        "The database location could not be saved in %1, so it is used "
                                        "only until the program closes. Contact the system "
                                        "administration to make that file writable.")
                .arg(QDir::toNativeSeparators(files.write)));
        source.unsaved = m_newDbFolder;
    }
}

void Startup::run()
{
    const config::Files files = config::filesIn(m_places);
    Source source;
    source.iniPath = files.read;
    if (source.iniPath.isEmpty()) {
        if (!locate())
            return;
        source.iniPath = files.write;
        config::createFile(source.iniPath, m_newDbFolder);
        source.written = true;
    }
    for (;;) {
        QString folder;
        try {
            folder = source.unsaved ? *source.unsaved : config::readFolder(source.iniPath);
            if (source.written && !readsBackAsWritten(folder, source.iniPath))
                return;
            open(folder);
            return;
        } catch (const RunError& error) {
            // A server's faults are not the file's place: the locator can't
            // repair them, so they go to the error reporter as they are.
            if (!isLocationError(error.number()) || isServerLocation(folder))
                throw;
        }
        m_dialogs.messageBox(QCoreApplication::translate(
            "pelmar::Startup", "The database location is incorrect. Please enter the correct "
                               "location. Contact the system administration for help if needed."));
        // Cancel leaves the folder that just failed: trying it again would
        // only ask the same question again.
        const bool picked = locate();
        if (m_newDbFolder.isEmpty() || (!picked && m_newDbFolder == folder))
            return;
        keepPicked(files, source);
    }
}

} // namespace pelmar
