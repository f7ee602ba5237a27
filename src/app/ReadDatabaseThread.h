#pragma once

#include "LedgerRecords.h"
#include "QueryRun.h"

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

signals:
    void PagesLoaded(const LedgerRecords& records);
    // The result of a query job, with the records it found.
    void SendQueryResultDate(const QueryResult& result);

protected:
    void run() override;

private:
    MainWindow* owner;
    int jobType;
    QueryRequest query;
};
