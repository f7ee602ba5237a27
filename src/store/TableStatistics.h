#pragma once

#include <QSqlDatabase>
#include <QString>

// Keeps PostgreSQL's planner statistics of a table in step with bulk inserts. The server plans a
// statement on what its last ANALYZE saw, and its own background analysis comes a minute or more
// later: a table filled since is planned as if it were nearly empty, a full scan for every row
// looked up or updated by key. SQLite and SQL Server need nothing here.
class TableStatistics
{
public:
    // Rows inserted before the first analysis of a table in this process.
    static constexpr qint64 FirstRows = 1000;

    // After a commit that inserted `rows` rows into `table`: analyses the table once the rows
    // inserted since its last analysis reach FirstRows, and afterwards as many as had been
    // inserted before that analysis, so a table filled batch by batch is analysed a few times
    // while it doubles, not after every batch. Nothing inside an open write transaction.
    static void NoteInserted(const QSqlDatabase& db, const QString& table, qint64 rows);
};
