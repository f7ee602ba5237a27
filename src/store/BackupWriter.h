#pragma once

#include "ScriptProgress.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class QSaveFile;
class QSqlQuery;
struct sqlite3;

// What a backup came to.
struct BackupResult {
    bool ok = false;
    qint64 rows = 0;
    QString error; // why the file was not written
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
    bool WriteSqliteTable(sqlite3* handle, const QString& table, QSaveFile& file,
                          BackupResult& result);
    QString PageStatement(const QString& table) const;

    QSqlDatabase db;
    QString storeNo;
    ScriptProgress progress;
    ScriptStop stop;
    qint64 total = 0;
};
