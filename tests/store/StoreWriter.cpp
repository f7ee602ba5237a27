// A second installation for the concurrency tests: connects from the given configuration, says
// "ready", waits for a line on its input and then saves the shared keys. The exit code is the
// number of failed saves (100 when it could not connect).
#include "DatabaseEngine.h"
#include "DbManager.h"
#include "SharedKeys.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4 || !DbManager::Instance()->ConnectFromConfig(args.at(1)))
        return 100;
    DatabaseEngine::Instance()->SetDbManager(DbManager::Instance());
    DatabaseEngine::Instance()->SetStoreNo(args.at(2));
    std::puts("ready");
    std::fflush(stdout);
    QTextStream(stdin).readLine();
    return qMin(SharedKeys::SaveAll(args.at(3)), 99);
}
