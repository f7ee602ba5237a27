#pragma once

class MainWindow;

// Starts the window's long jobs off the GUI thread; the program entry provides the threads.
class JobLauncher
{
public:
    // Job codes.
    static constexpr int LoadPages = 1;
    static constexpr int BackupDatabase = 5;

    virtual ~JobLauncher() = default;
    virtual void Start(MainWindow* owner, int jobType) = 0;
};
