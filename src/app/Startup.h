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

    // Everything up to the shown main window; false when nobody signed in or the start had to
    // stop before sign-in (Stopped()).
    bool Start();
    // Start() and then the event loop: the program's exit code (0 without sign-in, 1 when the
    // start stopped).
    int Run();
    bool Stopped() const { return stopped; }

    MainWindow* Window() const { return window.get(); }

    // A warning box before or during the start.
    static void Warn(const QString& title, const QString& text);

private:
    // Connects the data store (warning when it fails) and sets the store number (none without a
    // configuration file); false when the store number cannot be kept.
    bool ConnectStore();
    // Keeps the splash's sign-in hint in sight above the sign-in box.
    void PlaceSignIn();
    static void ApplyStyleSheet();

    QString iniPath;
    std::unique_ptr<QSplashScreen> splash;
    std::unique_ptr<DialogLogin> login;
    ThreadJobLauncher jobs;
    std::unique_ptr<MainWindow> window;
    bool stopped = false;
};
