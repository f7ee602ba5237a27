#pragma once

#include "ImportRequest.h"

class MainWindow;

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
