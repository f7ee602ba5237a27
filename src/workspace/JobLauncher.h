#pragma once

#include <QString>

class MainWindow;

// What an import job reads and where its rows go.
struct ImportRequest {
    int pageType = 0; // LedgerSheet::GoodsLedger or MoneyLedger
    QString fileName;
    QString table; // object name of the ledger table imported into; it gives the record kind
};

// Starts the window's long jobs off the GUI thread; the program entry provides the threads.
class JobLauncher
{
public:
    // Job codes.
    static constexpr int LoadPages = 1;
    static constexpr int ImportSheet = 2;
    static constexpr int RunQuery = 3;
    static constexpr int BackupDatabase = 5;

    virtual ~JobLauncher() = default;
    virtual void Start(MainWindow* owner, int jobType) = 0;
    // Job 2; its report reaches MainWindow::ShowReadExcelData. A launcher that runs no imports
    // (a test's) starts nothing.
    virtual void StartImport(MainWindow* /*owner*/, const ImportRequest& /*request*/) {}
};
