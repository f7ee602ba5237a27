#pragma once

#include "ScriptProgress.h"
#include "ScriptRow.h"

#include <QSqlDatabase>
#include <QString>

class BulkInserter;

// What a restore came to. Unless `ok`, the database is as it was before.
struct RestoreResult {
    bool ok = false;
    qint64 restored = 0;
    SkipReport skipped;
    QString error; // why nothing was changed
};

// Replaces one store's rows by the rows of a backup script. The whole file is read and checked
// first; only then, in one transaction, are the store's rows deleted and the accepted rows
// inserted, so a file that cannot be read or a row the database refuses leaves the store as it
// was. Rows of other stores are never deleted, and a line carrying another store's number is
// skipped.
class ScriptRestorer
{
public:
    ScriptRestorer(QSqlDatabase db, const QString& storeNo);
    void SetProgress(ScriptProgress progress) { this->progress = std::move(progress); }
    void SetStop(ScriptStop stop) { this->stop = std::move(stop); }

    RestoreResult Restore(const QString& path);

private:
    // Reads the file through; `accepted` counts the rows that would be restored.
    bool Check(const QString& path, qint64& accepted, RestoreResult& result) const;
    bool Replace(const QString& path, qint64 total, BulkInserter& inserter, RestoreResult& result);
    bool IsOwnRow(const ScriptRow& row) const;
    bool DeleteStoreRows(QString& error);
    // Whether the caller asked the restore to stop; the result then says so.
    bool Stopped(RestoreResult& result) const;

    QSqlDatabase db;
    QString storeNo;
    ScriptProgress progress;
    ScriptStop stop;
};
