#pragma once

#include "ScriptProgress.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class QSaveFile;
class QSqlQuery;
struct pg_conn;
struct sqlite3;

// What a backup came to.
struct BackupResult {
    bool ok = false;
    qint64 rows = 0;
    QString error; // why the file was not written
};

// The script's rows gathered into large writes of the file, with the job's progress and stop.
class ScriptChunks
{
public:
    ScriptChunks(QSaveFile& file, BackupResult& result, const ScriptProgress& progress,
                 const ScriptStop& stop, qint64 total);
    // Starts a row with the insert's head; false when the job was asked to stop.
    bool StartRow(const QByteArray& head);
    // The row being written.
    QByteArray& Row() { return chunk; }
    // Ends the row; false when the file refused a write.
    bool EndRow();
    // Writes what is left; false when the file refused it.
    bool Finish();
    // Sets the backup's error; always false.
    bool Fail(const QString& error);

private:
    bool Write();

    QSaveFile& file;
    BackupResult& result;
    const ScriptProgress& progress;
    const ScriptStop& stop;
    qint64 total;
    QByteArray chunk;
};

// Writes one store's rows of the program's tables as a script of inserts, one line per row:
// insert into tb_sm_user(user_phoneno,...,store_no) values('139...',...,'<store>');
// The `id` column is left out. Texts are quoted with a quote inside doubled (line breaks stay as
// they are), dates quoted as yyyy-MM-dd, numbers bare, NULL as null, bytes as E'<hex>', so that
// the file restores on every back end. A completeness line with the rows of each table ends the
// file (CompletenessLine). The file is written under a temporary name beside the final one and
// renamed only when complete.
class BackupWriter
{
public:
    BackupWriter(QSqlDatabase db, const QString& storeNo);
    void SetProgress(ScriptProgress progress) { this->progress = std::move(progress); }
    void SetStop(ScriptStop stop) { this->stop = std::move(stop); }

    BackupResult Write(const QString& path);

    // Appends the script form of one value read from the database.
    static void AppendValue(QString& out, const QVariant& value);

private:
    QStringList Tables() const;
    qint64 CountRows(const QString& table, QString& error) const;
    bool WriteTable(const QString& table, QSaveFile& file, BackupResult& result);
    bool WriteDriverTable(const QString& table, ScriptChunks& chunks);
    bool WriteSqliteTable(sqlite3* handle, const QString& table, ScriptChunks& chunks);
    bool WritePgTable(pg_conn* connection, const QString& table, ScriptChunks& chunks);
    QString PageStatement(const QString& table) const;
    static QByteArray InsertHead(const QString& table, QStringList names);

    QSqlDatabase db;
    QString storeNo;
    ScriptProgress progress;
    ScriptStop stop;
    qint64 total = 0;
};
