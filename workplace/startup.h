#pragma once

#include "workplace/configplaces.h"

#include <QString>
#include <functional>
#include <optional>

namespace pelmar {

class Dialogs;
class Workplace;

// The configuration file (config::Places says where): section PELMAREMPLOYEE,
// key Message, the folder that holds the database or a PostgreSQL server's
// connection URI. Written in UTF-8; read as profile::getString reads.
namespace config {

inline const QString FileName = QStringLiteral("PelmarEmployee.ini");
inline const QString Section = QStringLiteral("PELMAREMPLOYEE");
inline const QString Key = QStringLiteral("Message");

// The name of the ordinary file in folder that matches name without regard
// to letter case, as the folder holds it (an exact match wins); empty when
// there is none.
QString searchFileName(const QString& folder, const QString& name);

// Creates the file with its two lines, and its folder when missing,
// replacing any file of that name. Error 75 when it can't be written.
void createFile(const QString& path, const QString& folder);

// The folder as the configuration file gives it, read into a 255-character
// buffer and cut at the first pair of spaces after its end. Error 5 for a
// value of 253 characters or more, or a file too long to read.
QString readFolder(const QString& path);

// The database file in folder; a server's connection URI is the location
// itself.
QString databasePath(const QString& folder);

// The folder of a file the user confirmed in the locator: everything before
// the first "/Pelmar.mdb" (exact case). Error 5 when there is none.
QString folderOfDatabaseFile(const QString& path);

// The file dialog of the locator. The confirmed file's folder, nullopt on
// Cancel; error 5 for a file of another name.
std::optional<QString> locateDatabase(Dialogs& dialogs);

// The folder the locator's file dialog starts in.
QString locatorStartFolder();

// The days a terminal keeps log-ins and punches through an outage of the
// database: the key OfflineDays of the file the start-up reads, 14 when it
// has none or no number; 0 turns the terminal's journal off.
int offlineDays(const Places& places);

} // namespace config

// The start-up: finds the database through the configuration file, asking
// for it with the locator when the file is missing or names a wrong place,
// and opens the workplace on it. A place picked instead of the machine's
// file's serves this run only.
class Startup
{
public:
    // Runs the locator: the folder the user confirmed, or nullopt when they
    // cancelled or the locator reported a failure itself.
    using Locator = std::function<std::optional<QString>()>;

    Startup(Workplace& workplace, Dialogs& dialogs, config::Places places, Locator locator);

    // Returns when the workplace is open or the start-up ended early (the
    // user cancelled the locator). Any other failure is thrown for the
    // error reporter; the steps after it stay undone.
    void run();

    // The folder picked in the locator during this run; empty until then.
    const QString& newDbFolder() const { return m_newDbFolder; }

private:
    // Where the next try reads the database's folder.
    struct Source
    {
        QString iniPath;      // the configuration file read
        bool written = false; // it holds the folder picked in this run
        // A folder that the configuration file could not keep serves this run.
        std::optional<QString> unsaved;
    };

    // Opens the workplace on the database in folder.
    void open(const QString& folder);
    // After the user picked a folder in the locator: writes it to the
    // account's configuration file for the next tries, or keeps it for this
    // run only when the machine's file is the one read or the account's
    // can't be written, and says so.
    void keepPicked(const config::Files& files, Source& source);
    // Runs the locator; true when the user confirmed a folder.
    bool locate();
    // True when the folder read from the file is the one this run wrote;
    // else says so.
    bool readsBackAsWritten(const QString& read, const QString& iniPath);

    Workplace& m_workplace;
    Dialogs& m_dialogs;
    config::Places m_places;
    Locator m_locator;
    QString m_newDbFolder;
};

} // namespace pelmar
