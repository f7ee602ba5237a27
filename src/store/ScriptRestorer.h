#pragma once

#include "ScriptProgress.h"
#include "ScriptRow.h"

#include <QSqlDatabase>
#include <QString>
#include <functional>

class BulkInserter;
struct BulkRows;

// What a restore came to. Unless `ok`, the database is as it was before.
struct RestoreResult {
    bool ok = false;
    qint64 restored = 0;
    SkipReport skipped;
    // Every row of the file was vouched for by a completeness line that matched; older backups
    // and files of other installations have none, so they could not be checked.
    bool complete = false;
    QString error; // why nothing was changed
};

// Replaces one store's rows by the rows of a backup script. The whole file is read and checked
// first, as UTF-8 or else as GB18030; a file that is damaged, cut off or holds no row of this
// store is refused. Only then, in one transaction, are the store's rows deleted and the accepted
// rows inserted, so a row the database refuses leaves the store as it was. Rows of other stores
// are never deleted, and rows carrying another store's number are skipped; of rows with the same
// key only the last is restored.
class ScriptRestorer
{
public:
    ScriptRestorer(QSqlDatabase db, const QString& storeNo);
    void SetProgress(ScriptProgress progress) { this->progress = std::move(progress); }
    void SetStop(ScriptStop stop) { this->stop = std::move(stop); }
    // Asked inside the restore's transaction, just before it commits (the history's entry); a
    // false answer rolls the restore back.
    using BeforeCommit = std::function<bool(const QString& path, const RestoreResult& result)>;
    void SetBeforeCommit(BeforeCommit check) { beforeCommit = std::move(check); }

    RestoreResult Restore(const QString& path);

private:
    struct Checked;

    bool Check(const QString& path, Checked& checked, RestoreResult& result) const;
    bool Replace(const QString& path, const Checked& checked, BulkInserter& inserter,
                 BulkRows& refused, RestoreResult& result);
    void NameRefusedRow(const BulkRows& refused, RestoreResult& result);
    bool DeleteStoreRows(QString& error);
    // Whether the caller asked the restore to stop; the result then says so.
    bool Stopped(RestoreResult& result) const;

    QSqlDatabase db;
    QString storeNo;
    ScriptProgress progress;
    ScriptStop stop;
    BeforeCommit beforeCommit;
};
