#include "Prompt.h"

#include "DialogLogin.h"

#include <QFileDialog>
#include <QPushButton>

namespace
{

WidgetPrompt widgetPrompt;
Prompt* current = &widgetPrompt;

} // namespace

Prompt& Prompt::Current()
{
    return *current;
}

void Prompt::Install(Prompt* prompt)
{
    current = prompt ? prompt : &widgetPrompt;
}

int Prompt::RunDialog(QDialog& dialog)
{
    return dialog.exec();
}

int WidgetPrompt::Ask(QWidget* parent, const PromptBox& box)
{
    QMessageBox message(parent);
    message.setWindowTitle(box.title);
    message.setText(box.text);
    message.setIcon(box.icon);
    if (!box.iconPath.isEmpty())
        message.setIconPixmap(
            QPixmap(box.iconPath).scaled(36, 36, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    if (!box.styleSheet.isEmpty())
        message.setStyleSheet(box.styleSheet);
    QList<QAbstractButton*> buttons;
    if (box.buttons.isEmpty()) {
        buttons << message.addButton(box.standardButton);
        message.setDefaultButton(box.standardButton);
    }
    for (int i = 0; i < box.buttons.size(); ++i) {
        const QMessageBox::ButtonRole role = i == 0   ? QMessageBox::AcceptRole
                                             : i == 1 ? QMessageBox::RejectRole
                                                      : QMessageBox::ActionRole;
        QPushButton* button = message.addButton(box.buttons.at(i), role);
        if (i == 0)
            message.setDefaultButton(button);
        buttons << button;
    }
    if (box.buttonWidth > 0) {
        for (QAbstractButton* button : buttons)
            button->setFixedWidth(box.buttonWidth);
    }
    if (!box.geometry.isEmpty())
        message.setGeometry(box.geometry);
    message.exec();
    return buttons.indexOf(message.clickedButton());
}

int WidgetPrompt::SignIn(DialogLogin& dialog)
{
    return dialog.exec();
}

QString WidgetPrompt::AskFile(QWidget* parent, const FileQuestion& question)
{
    if (question.mode == FileQuestion::Save)
        return QFileDialog::getSaveFileName(parent, question.caption, question.directory,
                                            question.filter);
    return QFileDialog::getOpenFileName(parent, question.caption, question.directory,
                                        question.filter);
}
