#include "TestFolder.h"

#include "DatabaseEngine.h"
#include "DbManager.h"

#include <QDir>
#include <QSettings>
#include <QSqlQuery>

TestFolder::TestFolder(Database database, const QString& storeNo) : previous(QDir::currentPath())
{
    QDir(dir.path()).mkpath("InitParam");
    QSettings ini(ConfigPath(), QSettings::IniFormat);
    if (database == Sqlite) {
        ini.setValue("Driver/TYPE", "QSQLITE");
        ini.setValue("DatabaseName/DATABASE", "ledger.db");
    } else {
        ini.setValue("Driver/TYPE", "QPSQL");
        ini.setValue("HostName/IP", "127.0.0.1");
        ini.setValue("Port/PORT", 1);
        ini.setValue("DatabaseName/DATABASE", "none");
    }
    if (!storeNo.isEmpty())
        ini.setValue("StoreNo/No", storeNo);
    ini.sync();
    QDir::setCurrent(dir.path());
}

TestFolder::~TestFolder()
{
    DbManager::Instance()->Disconnect();
    QDir::setCurrent(previous);
}

QString TestFolder::ConfigPath() const
{
    return dir.filePath("InitParam/dBConfig.ini");
}

bool TestFolder::Connect()
{
    const bool ok = DbManager::Instance()->ConnectFromConfig(ConfigPath());
    DatabaseEngine::Instance()->SetDbManager(DbManager::Instance());
    DatabaseEngine::Instance()->SetStoreNo(StoreNumber::LoadOrCreate(ConfigPath()));
    return ok;
}

namespace
{

// Saves under another store number by switching the engine's for one statement.
template <class Save> bool AsStore(const QString& storeNo, Save save)
{
    DatabaseEngine* engine = DatabaseEngine::Instance();
    const QString current = engine->StoreNo();
    if (!storeNo.isEmpty())
        engine->SetStoreNo(storeNo);
    const bool ok = save(engine);
    engine->SetStoreNo(current);
    return ok;
}

} // namespace

bool TestFolder::AddUser(const UserRecord& user, const QString& storeNo)
{
    return AsStore(storeNo, [&](DatabaseEngine* e) { return e->SaveUserInfo(user); });
}

bool TestFolder::AddProduct(const ProductRecord& record, const QString& storeNo)
{
    return AsStore(storeNo, [&](DatabaseEngine* e) { return e->SaveProductInfo(record); });
}

bool TestFolder::AddFinance(const FinanceRecord& record, const QString& storeNo)
{
    return AsStore(storeNo, [&](DatabaseEngine* e) { return e->SaveFinanceInfo(record); });
}

int TestFolder::Count(const QString& statement)
{
    QSqlQuery query(DbManager::Instance()->Database());
    if (!query.exec(statement) || !query.next())
        return -1;
    return query.value(0).toInt();
}
