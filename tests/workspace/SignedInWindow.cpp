#include "SignedInWindow.h"

#include "MainWindow.h"

std::unique_ptr<MainWindow> SignedInWindow(int userType, JobLauncher* jobs)
{
    auto window = std::make_unique<MainWindow>();
    UserRecord user;
    user.user_type = userType;
    user.user_name = "admin";
    window->SetUser(user);
    window->SetJobLauncher(jobs);
    window->InitMainWindow();
    return window;
}
