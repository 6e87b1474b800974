#pragma once

#include <QString>

namespace pelmar::config {

// The folders that may hold the configuration file, in the order the
// start-up looks in them. An installed program's own folder is /usr/bin,
// which nobody may write, so an account keeps its own file and the machine
// may hold one for every account.
struct Places
{
    QString program; // beside the executable: a build folder or a copied program
    QString account; // this account's own: $XDG_CONFIG_HOME/PelmarEmployee
    QString machine; // every account's, never written: /etc/pelmar

    // The places of this process for a program in programFolder.
    static Places of(const QString& programFolder);
};

// The account's folder for the value of XDG_CONFIG_HOME and the home
// folder; an unset, empty or relative value means ~/.config.
QString accountFolder(const QString& xdgConfigHome, const QString& home);

// The file the start-up reads (empty when no place holds one by its exact
// name) and the one the locator writes: the file read when it lies beside
// the program or in the account's folder, else the account's own.
struct Files
{
    QString read;
    QString write;
    // The file read is the machine's: its database is every account's, so a
    // location picked while it is out of reach is never written.
    bool machineWide = false;
};
Files filesIn(const Places& places);

} // namespace pelmar::config
