#pragma once

#include <memory>

class JobLauncher;
class MainWindow;

// A main window as after the sign-in of "admin" with that user type (1: super user); its pages are
// loaded by the given launcher, or not at all without one.
std::unique_ptr<MainWindow> SignedInWindow(int userType = 1, JobLauncher* jobs = nullptr);
