#include "TestDatabase.h"

#include "DatabaseEngine.h"
#include "DbManager.h"

#include <QMap>
#include <QProcessEnvironment>
#include <QSettings>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QUuid>

#include <functional>

namespace
{

QMap<QString, QString> PgSettings()
{
    QMap<QString, QString> settings;
    const QString server = qEnvironmentVariable("LEDGER_TEST_PG");
    for (const QString& pair : server.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const qsizetype eq = pair.indexOf(QLatin1Char('='));
        if (eq > 0)
            settings.insert(pair.left(eq), pair.mid(eq + 1));
    }
    return settings;
}

// Runs `work` on a short-lived QPSQL connection to the server's maintenance database.
bool WithPgServer(const std::function<bool(QSqlQuery&)>& work)
{
    const QMap<QString, QString> pg = PgSettings();
    const QString name = QStringLiteral("ledger-test-admin");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(pg.value(QStringLiteral("host")));
        db.setPort(pg.value(QStringLiteral("port")).toInt());
        db.setUserName(pg.value(QStringLiteral("user")));
        db.setDatabaseName(QStringLiteral("postgres"));
        if (db.open()) {
            QSqlQuery query(db);
            ok = work(query);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

bool OdbcDriverInstalled()
{
    QSettings drivers(QStringLiteral("/etc/odbcinst.ini"), QSettings::IniFormat);
    return drivers.childGroups().contains(QStringLiteral("PostgreSQL Unicode"));
}

} // namespace

bool TestDatabase::OnPgServer(const QString& statement)
{
    return WithPgServer([&](QSqlQuery& query) {
        if (query.exec(statement))
            return true;
        qWarning() << "test server:" << query.lastError().text();
        return false;
    });
}

QList<TestDatabase::Backend> TestDatabase::Available()
{
    QList<Backend> backends = {Sqlite};
    if (!PgSettings().isEmpty()) {
        backends << Postgres;
        if (OdbcDriverInstalled())
            backends << OdbcPostgres;
    }
    return backends;
}

const char* TestDatabase::Name(Backend backend)
{
    switch (backend) {
    case Postgres:
        return "postgres";
    case OdbcPostgres:
        return "odbc-postgres";
    default:
        return "sqlite";
    }
}

void TestDatabase::AddBackendRows()
{
    QTest::addColumn<int>("backend");
    for (Backend b : Available())
        QTest::newRow(Name(b)) << int(b);
}

TestDatabase::Backend TestDatabase::Current()
{
    QFETCH_GLOBAL(int, backend);
    return Backend(backend);
}

TestDatabase::TestDatabase(Backend b, const QString& store) : backend(b), storeNo(store)
{
    if (backend != Sqlite) {
        pgDatabase =
            QStringLiteral("ledger_%1").arg(QUuid::createUuid().toString(QUuid::Id128).left(16));
        OnPgServer(QStringLiteral("create database %1").arg(pgDatabase));
    }
}

TestDatabase::TestDatabase(const QString& store, const QString& keptDatabase)
    : backend(Postgres), storeNo(store), pgDatabase(keptDatabase), kept(true)
{
    const bool exists = WithPgServer([&](QSqlQuery& query) {
        return query.exec(QStringLiteral("select 1 from pg_database where datname='%1'")
                              .arg(pgDatabase)) &&
               query.next();
    });
    if (!exists)
        OnPgServer(QStringLiteral("create database %1").arg(pgDatabase));
}

TestDatabase::~TestDatabase()
{
    DbManager::Instance()->Disconnect();
    if (!pgDatabase.isEmpty() && !kept)
        OnPgServer(QStringLiteral("drop database if exists %1").arg(pgDatabase));
}

bool TestDatabase::DropConnections() const
{
    return OnPgServer(QStringLiteral("select pg_terminate_backend(pid) from pg_stat_activity where "
                                     "datname='%1' and pid<>pg_backend_pid()")
                          .arg(pgDatabase));
}

QString TestDatabase::ServerDatabase() const
{
    return pgDatabase;
}

QString TestDatabase::WorkDir() const
{
    return dir.path();
}

QString TestDatabase::ConfigPath() const
{
    return dir.filePath(QStringLiteral("InitParam/dBConfig.ini"));
}

void TestDatabase::WriteConfig(const QString& driverType)
{
    QSettings ini(ConfigPath(), QSettings::IniFormat);
    ini.clear();
    ini.setValue(QStringLiteral("Driver/TYPE"), driverType);
    if (backend == Sqlite) {
        ini.setValue(QStringLiteral("DatabaseName/DATABASE"), dir.filePath("ledger.db"));
    } else {
        const QMap<QString, QString> pg = PgSettings();
        ini.setValue(QStringLiteral("HostName/IP"), pg.value(QStringLiteral("host")));
        ini.setValue(QStringLiteral("Port/PORT"), pg.value(QStringLiteral("port")).toInt());
        ini.setValue(QStringLiteral("UserName/UID"), pg.value(QStringLiteral("user")));
        ini.setValue(QStringLiteral("DatabaseName/DATABASE"), pgDatabase);
        if (driverType == QLatin1String("QODBC"))
            ini.setValue(QStringLiteral("Driver/ODBC"), QStringLiteral("PostgreSQL Unicode"));
    }
    ini.setValue(QStringLiteral("StoreNo/No"), storeNo);
}

bool TestDatabase::Connect()
{
    WriteConfig(backend == Sqlite     ? QStringLiteral("QSQLITE")
                : backend == Postgres ? QStringLiteral("QPSQL")
                                      : QStringLiteral("QODBC"));
    const bool ok = DbManager::Instance()->ConnectFromConfig(ConfigPath());
    DatabaseEngine::Instance()->SetDbManager(DbManager::Instance());
    DatabaseEngine::Instance()->SetStoreNo(storeNo);
    return ok;
}

int TestDatabase::Scalar(const QString& statement)
{
    QSqlQuery query(DbManager::Instance()->Database());
    if (!query.exec(statement) || !query.next())
        return -1;
    return query.value(0).toInt();
}
