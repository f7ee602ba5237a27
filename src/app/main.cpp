#include "BoxTitleFit.h"
#include "ChineseUi.h"
#include "Startup.h"

#include <QApplication>

int main(int argc, char** argv)
{
    // The chart dialog's web views share the application's graphics context.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ChineseUi::Install(app);
    BoxTitleFit titles;
    app.installEventFilter(&titles);
    Startup startup;
    return startup.Run();
}
