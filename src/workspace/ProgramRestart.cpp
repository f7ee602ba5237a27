#include "ProgramRestart.h"

#include <QCoreApplication>
#include <QDebug>
#include <QProcess>

ProgramRestart::ProgramRestart(QObject* parent)
    : QObject(parent), program(QCoreApplication::applicationFilePath())
{
    connect(qApp, &QCoreApplication::aboutToQuit, this, &ProgramRestart::StartNewCopy);
}

void ProgramRestart::SetCommand(const QString& newProgram, const QStringList& newArguments)
{
    program = newProgram;
    arguments = newArguments;
}

void ProgramRestart::Request()
{
    requested = true;
    // Closes the windows first; the close box may keep the program running.
    QCoreApplication::quit();
}

void ProgramRestart::Cancel()
{
    requested = false;
}

void ProgramRestart::StartNewCopy()
{
    if (!requested)
        return;
    requested = false;
    if (!QProcess::startDetached(program, arguments))
        qWarning() << "restart: could not start" << program;
}
