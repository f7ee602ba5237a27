#pragma once

#include <QString>

// The files an installation puts beside the program under share/ (the chart page, the default
// configuration). They are found from the program's own folder, so an installation works from
// whatever prefix it went to; a program run from its build folder has none.
class InstalledData
{
public:
    // The data of a program whose executable lies in `programFolder`.
    explicit InstalledData(const QString& programFolder);
    // The data of the running program.
    static InstalledData OfProgram();

    // The folder the installation keeps the data in, whether it exists or not.
    QString Folder() const { return folder; }
    // Whether the program runs from an installation: its data folder is there.
    bool Present() const;
    // The file `relative` below the data folder; empty when there is no such file.
    QString File(const QString& relative) const;

private:
    QString folder;
};
