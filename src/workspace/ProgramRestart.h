#pragma once

#include <QObject>
#include <QStringList>

// "系统重启": the new copy of the program is started only once this one is really quitting, so
// a restart that the close box turns down leaves one copy running, not two on one database.
class ProgramRestart : public QObject
{
    Q_OBJECT
public:
    // The new copy is the program's own executable, started without arguments.
    explicit ProgramRestart(QObject* parent);

    void SetCommand(const QString& program, const QStringList& arguments);
    // Asks the application to quit; the new copy starts as it does.
    void Request();
    // The quit was turned down: a later quit starts nothing.
    void Cancel();

private:
    void StartNewCopy();

    bool requested = false;
    QString program;
    QStringList arguments;
};
