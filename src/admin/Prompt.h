#pragma once

#include <QMessageBox>
#include <QRect>
#include <QString>
#include <QStringList>

class DialogLogin;
class QDialog;
class QWidget;

// One modal message or question as the windows describe it.
struct PromptBox {
    QString title;
    QString text;
    // The first button takes the accept role and is the default, the second the reject role.
    // Without buttons the box shows `standardButton` alone.
    QStringList buttons;
    QMessageBox::StandardButton standardButton = QMessageBox::Ok;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString iconPath; // a resource picture shown 36 x 36 instead of the standard icon
    QString styleSheet;
    int buttonWidth = 0; // fixed width of every button, 0 = natural
    QRect geometry;      // empty = placed by the window system
};

// A file the user is asked to pick, as a file dialog asks for it.
struct FileQuestion {
    enum Mode { Open, Save };
    Mode mode = Open;
    QString caption;
    QString directory;
    QString filter;
};

// Every modal box, file dialog and re-login goes through the current prompt, so tests can answer
// them.
class Prompt
{
public:
    virtual ~Prompt() = default;

    // Index of the button clicked (0 for the standard button), -1 when the box was closed.
    virtual int Ask(QWidget* parent, const PromptBox& box) = 0;
    // Runs a sign-in dialog modally and returns its result code.
    virtual int SignIn(DialogLogin& dialog) = 0;
    // The chosen file's path, empty when the dialog was cancelled.
    virtual QString AskFile(QWidget* parent, const FileQuestion& question) = 0;
    // Runs a toolkit dialog (such as the print dialog) modally and returns its result code.
    virtual int RunDialog(QDialog& dialog);

    static Prompt& Current();
    // Replaces the current prompt; nullptr restores the one that shows real boxes.
    static void Install(Prompt* prompt);
};

// The prompt of a running program: real message boxes and dialogs.
class WidgetPrompt : public Prompt
{
public:
    int Ask(QWidget* parent, const PromptBox& box) override;
    int SignIn(DialogLogin& dialog) override;
    QString AskFile(QWidget* parent, const FileQuestion& question) override;
};
