#include "BoxTitleFit.h"
#include "ChineseUi.h"
#include "Startup.h"
#include "UserDataFolder.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char** argv)
{
    // The chart dialog's web views share the application's graphics context.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    // The installed name: it names the person's data folder and ties the windows to the desktop
    // entry, whatever the executable is called.
    QApplication::setApplicationName(QStringLiteral(LEDGER_PACKAGE));
    QApplication::setDesktopFileName(QStringLiteral(LEDGER_PACKAGE));
    ChineseUi::Install(app);
    BoxTitleFit titles;
    app.installEventFilter(&titles);

    QString why;
    if (UserDataFolder::Enter(InstalledData::OfProgram(),
                              QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
                              &why) == UserDataFolder::Choice::Failed)
        Startup::Warn(
            QObject::tr("数据文件夹"),
            QObject::tr("警告：无法准备本用户的数据文件夹，程序只在启动的文件夹中查找配置。\n"
                        "原因：") +
                why);
    Startup startup;
    return startup.Run();
}
