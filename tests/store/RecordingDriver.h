#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <functional>

// A statement as the program handed it to the database: its text with `?` markers and the values
// bound to them.
struct SentStatement {
    QString text;
    QVariantList values;
};

// A database driver that calls itself SQL Server, so the data store builds every statement in
// its SQL Server form, and keeps each statement it is given. It answers from a SQLite database
// behind it, so that saves, look-ups, backups and restores take the paths they take on a server
// that holds rows. What SQLite cannot run is answered here: table and index creation (the tables
// are made in SQLite's own words), the application lock, and the paging clause of SQL Server.
namespace RecordingDriver
{

// The driver type to name in the configuration's [Driver] TYPE.
extern const char* const Type;

// Registers the driver type; the statements go to the SQLite file `backingFile` from now on.
void Install(const QString& backingFile);

// Every statement sent since Install or the last Take, in order; the log is emptied.
QList<SentStatement> Take();

// The answer of the application lock from now on (0: granted; negative: refused).
void SetLockAnswer(int answer);

} // namespace RecordingDriver
