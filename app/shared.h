#pragma once

#include <QString>

namespace pelmar {

// The program's module-wide variables: set at start-up, read by every
// procedure that opens the database or checks hours.
struct Shared
{
    QString DBFolder;      // database folder read from the configuration file
    QString DBPath;        // DBFolder + "/Pelmar.mdb"
    float NotifyHours = 0; // hours threshold of the alert e-mail
    QString NewDBFolder;   // folder confirmed in the locator; empty until then
};

} // namespace pelmar
