#pragma once

#include "Prompt.h"

#include <QList>
#include <QPair>
#include <QString>

// Answers the program's boxes and sign-ins from a script and records what was asked.
// Installed on construction, removed on destruction.
//
// Every answer is given from inside a modal event loop of a real window, as a real box gives it:
// the window takes the focus, so open editors lose theirs, and deferred deletes and queued calls
// run while the "box" is open.
class ScriptedPrompt : public Prompt
{
public:
    struct Shown {
        QString title;
        QString text;
        QStringList buttons;
    };

    ScriptedPrompt();
    ~ScriptedPrompt() override;

    // Button indexes for the next boxes; without one the box takes its first button.
    void AnswerBoxes(const QList<int>& answers);
    // Credentials for the next sign-ins, tried in turn on one dialog until it accepts;
    // an empty script cancels the dialog.
    void SignInWith(const QList<QPair<QString, QString>>& credentials);

    // Paths for the next file dialogs; without one the dialog is cancelled.
    void AnswerFiles(const QStringList& paths);

    int Ask(QWidget* parent, const PromptBox& box) override;
    int SignIn(DialogLogin& dialog) override;
    QString AskFile(QWidget* parent, const FileQuestion& question) override;

    QList<Shown> shown;
    QList<FileQuestion> fileQuestions;

private:
    // Shows a modal box over `parent` and closes it once it has become the active window.
    static void RunModal(QWidget* parent, const QString& title);
    // Types the next credentials into the open dialog and confirms, or cancels it when none
    // are left; again after a refusal.
    void TryNextCredentials(DialogLogin& dialog);

    QList<int> answers;
    QList<QPair<QString, QString>> credentials;
    QStringList files;
};
