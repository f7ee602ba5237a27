#pragma once

#include "DbConfig.h"
#include "ThreadJobLauncher.h"

#include <QString>
#include <memory>

class DialogLogin;
class MainWindow;
class QSplashScreen;

// The program's start-up, in its fixed order: splash, sign-in dialog, database and store number,
// sign-in, style sheet, main window.
class Startup
{
public:
    static const QString SplashMessage;
    static const QString StyleSheetPath;

    explicit Startup(const QString& iniPath = DbConfig::DefaultPath);
    ~Startup();

    // Everything up to the shown main window; false when nobody signed in.
    bool Start();
    // Start() and then the event loop: the program's exit code (0 without sign-in).
    int Run();

    MainWindow* Window() const { return window.get(); }

private:
    void ConnectStore();
    static void ApplyStyleSheet();

    QString iniPath;
    std::unique_ptr<QSplashScreen> splash;
    std::unique_ptr<DialogLogin> login;
    ThreadJobLauncher jobs;
    std::unique_ptr<MainWindow> window;
};
