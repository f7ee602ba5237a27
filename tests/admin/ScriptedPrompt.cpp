#include "ScriptedPrompt.h"

#include "DialogLogin.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace
{

// A platform that never activates windows still gets its box closed after this many turns.
const int ActivationTurns = 200;

} // namespace

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

int ScriptedPrompt::Ask(QWidget* parent, const PromptBox& box)
{
    shown << Shown{box.title, box.text, box.buttons};
    const int answer = answers.isEmpty() ? 0 : answers.takeFirst();
    RunModal(parent, box.title);
    return answer;
}

int ScriptedPrompt::SignIn(DialogLogin& dialog)
{
    dialog.setResult(QDialog::Rejected);
    QTimer::singleShot(0, &dialog, [this, &dialog] { TryNextCredentials(dialog); });
    return dialog.exec();
}

void ScriptedPrompt::TryNextCredentials(DialogLogin& dialog)
{
    if (!dialog.isVisible())
        return;
    if (credentials.isEmpty()) {
        dialog.reject();
        return;
    }
    const auto [name, password] = credentials.takeFirst();
    dialog.findChild<QLineEdit*>("input_name")->setText(name);
    dialog.findChild<QLineEdit*>("input_password")->setText(password);
    // A refusal shows its box from here and leaves the dialog open for the next try.
    dialog.findChild<QPushButton*>("onok")->click();
    if (dialog.isVisible())
        QTimer::singleShot(0, &dialog, [this, &dialog] { TryNextCredentials(dialog); });
}

QString ScriptedPrompt::AskFile(QWidget* parent, const FileQuestion& question)
{
    fileQuestions << question;
    const QString path = files.isEmpty() ? QString() : files.takeFirst();
    RunModal(parent, question.caption);
    return path;
}

void ScriptedPrompt::RunModal(QWidget* parent, const QString& title)
{
    QMessageBox box(parent);
    box.setWindowTitle(title);
    int turns = 0;
    QTimer answer;
    answer.setInterval(1);
    QObject::connect(&answer, &QTimer::timeout, &box, [&box, &turns] {
        if (box.isActiveWindow() || ++turns >= ActivationTurns)
            box.done(0);
    });
    answer.start();
    const QPointer<QWidget> previous = QApplication::activeWindow();
    box.exec();
    // As the window system does: the window that was active before the box is active again.
    if (previous)
        previous->activateWindow();
}
