#pragma once

#include "RowTally.h"
#include "ScriptProgress.h"
#include "SkipReport.h"

#include <QByteArrayView>
#include <QSqlDatabase>
#include <QString>
#include <functional>

class RestoreSink;
class ScriptFile;
class ScriptScanner;
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

// Replaces one store's rows by the rows of a backup script, in one transaction and, as a rule,
// one reading of the file: the store's rows are deleted and the file's rows stored as they are
// read; a file that turns out damaged, cut off or without a row of this store, or a row the
// database refuses, rolls it all back. A file is read as UTF-8, or else as GB18030: at the first
// text that is not UTF-8 the reading starts again. Rows of other stores are never deleted, and
// rows carrying another store's number are skipped; of rows with the same key only the last is
// restored: at the first repeated key the reading starts again, after one reading of the file
// for the last row of each key.
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
    // How the file is read: its encoding, and what is known of its repeated keys.
    struct Plan {
        ScriptEncoding encoding = ScriptEncoding::Utf8;
        bool repeats = false;
        bool gathered = false;
        LastOfRepeated lastOfRepeated;
    };
    enum class Outcome { Done, Failed, Refused, Again };

    Outcome Replace(ScriptFile& file, Plan& plan, RestoreSink& sink, RestoreResult& result);
    Outcome GatherRepeats(QByteArrayView file, Plan& plan, RestoreResult& result) const;
    static Outcome ReadEnd(const ScriptScanner& scanner, Plan& plan, RestoreResult& result);
    void NameRefusedRow(const BulkRows& refused, RestoreResult& result);
    // Whether the caller asked the restore to stop; the result then says so.
    bool Stopped(RestoreResult& result) const;

    QSqlDatabase db;
    QString storeNo;
    ScriptProgress progress;
    ScriptStop stop;
    BeforeCommit beforeCommit;
};
