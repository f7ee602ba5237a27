#pragma once

#include "ImportReport.h"
#include "LedgerRecords.h"
#include "QueryRun.h"
#include "StopFlag.h"

#include <QThread>

class MainWindow;

// Runs one long job of the main window off the GUI thread. The job reaches the database through
// its own connection and hands its results over in a queued signal; the worker never touches a
// widget.
class ReadDatabaseThread : public QThread
{
    Q_OBJECT
public:
    ReadDatabaseThread(MainWindow* owner, int jobType);

    // The query a query job runs, taken in the GUI thread before the start.
    void SetQuery(const QueryRequest& request);

    // The import job's inputs: the page family (LedgerSheet::GoodsLedger or MoneyLedger), the
    // file and the object name of the ledger table whose kind the rows take.
    void SetImportInfo(int pageType, const QString& fileName, const QString& table);
    // Raised by the cancel button: an import stores no further rows, a backup leaves no file.
    void SetStop(const StopFlag& flag);

signals:
    void PagesLoaded(const LedgerRecords& records);
    // The result of a query job, with the records it found.
    void SendQueryResultDate(const QueryResult& result);
    void ImportProgress(int done, int total);
    void ImportFinished(const QString& table, const ImportReport& report);
    // Backup job: rows written of rows in all, then the outcome (the file, or why not).
    void BackupProgress(qint64 done, qint64 total);
    void BackupDone(bool ok, const QString& path, const QString& error);

protected:
    void run() override;

private:
    void ImportSheet();

    MainWindow* owner;
    int jobType;
    QueryRequest query;
    int pageType = 0;
    QString fileName;
    QString table;
    StopFlag stop;
};
