#pragma once

#include "Prompt.h"

#include <QList>
#include <QPair>
#include <QString>

// Answers the program's boxes and sign-ins from a script and records what was asked.
// Installed on construction, removed on destruction.
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
    QList<int> answers;
    QList<QPair<QString, QString>> credentials;
    QStringList files;
};
