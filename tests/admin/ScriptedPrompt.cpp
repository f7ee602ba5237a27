#include "ScriptedPrompt.h"

#include "DialogLogin.h"

#include <QLineEdit>
#include <QPushButton>

ScriptedPrompt::ScriptedPrompt()
{
    Prompt::Install(this);
}

ScriptedPrompt::~ScriptedPrompt()
{
    Prompt::Install(nullptr);
}

void ScriptedPrompt::AnswerBoxes(const QList<int>& next)
{
    answers = next;
}

void ScriptedPrompt::SignInWith(const QList<QPair<QString, QString>>& next)
{
    credentials = next;
}

void ScriptedPrompt::AnswerFiles(const QStringList& paths)
{
    files = paths;
}

int ScriptedPrompt::Ask(QWidget*, const PromptBox& box)
{
    shown << Shown{box.title, box.text, box.buttons};
    return answers.isEmpty() ? 0 : answers.takeFirst();
}

int ScriptedPrompt::SignIn(DialogLogin& dialog)
{
    dialog.setResult(QDialog::Rejected);
    while (!credentials.isEmpty() && dialog.result() != QDialog::Accepted) {
        const auto [name, password] = credentials.takeFirst();
        dialog.findChild<QLineEdit*>("input_name")->setText(name);
        dialog.findChild<QLineEdit*>("input_password")->setText(password);
        dialog.findChild<QPushButton*>("onok")->click();
    }
    return dialog.result();
}

QString ScriptedPrompt::AskFile(QWidget*, const FileQuestion& question)
{
    fileQuestions << question;
    return files.isEmpty() ? QString() : files.takeFirst();
}
