#pragma once

#include "InstalledData.h"

#include <QString>

// The folder an installed program works in. Started from a folder that holds a configuration, it
// works there; started anywhere else (from the desktop menu, from a home folder) it works in the
// person's own data folder, which is made on first use with the default configuration selecting a
// SQLite file there. A program without an installation (run from its build folder) keeps to the
// folder it was started from and writes nothing there.
namespace UserDataFolder
{

enum class Choice {
    StartFolder, // the folder the program was started from
    UserFolder,  // the person's data folder, now the current folder
    Failed       // the person's data folder could not be prepared; the current folder is kept
};

// Makes the chosen folder current. `userFolder` is the person's data folder (the desktop's
// standard data location of the program). On Failed, `why` says what could not be done.
Choice Enter(const InstalledData& installed, const QString& userFolder, QString* why = nullptr);

} // namespace UserDataFolder
