#include "DbManager.h"

#include "Schema.h"

#include <QDebug>
#include <QMutexLocker>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QThreadStorage>

namespace
{

// A connection of a thread other than the main one; removed when the thread ends.
struct ThreadConnection {
    QString name;
    int generation = 0;
    ~ThreadConnection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
};

QThreadStorage<ThreadConnection*> threadConnections;
QThread* mainThread = nullptr;

// A server that does not answer fails after this many seconds instead of blocking the window.
constexpr int ConnectTimeoutSeconds = 5;

} // namespace

DbManager* DbManager::Instance()
{
    static DbManager* instance = new DbManager;
    return instance;
}

bool DbManager::OpenConnection(QSqlDatabase& db) const
{
    const QString timeout = QString::number(ConnectTimeoutSeconds);
    if (config.driverType == QLatin1String("QSQLITE")) {
        db.setDatabaseName(config.database);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(timeout + "000"));
    } else if (config.driverType == QLatin1String("QPSQL")) {
        db.setHostName(config.host);
        if (config.port > 0)
            db.setPort(config.port);
        db.setDatabaseName(config.database);
        db.setUserName(config.user);
        db.setPassword(config.password);
        db.setConnectOptions(QStringLiteral("connect_timeout=%1").arg(timeout));
    } else {
        db.setDatabaseName(config.OdbcConnectionString());
        db.setConnectOptions(
            QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1;SQL_ATTR_CONNECTION_TIMEOUT=%1")
                .arg(timeout));
    }
    if (!db.open())
        return false;
    if (config.driverType == QLatin1String("QSQLITE")) {
        // WAL lets the window and a background job write at the same time.
        QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    }
    return true;
}

bool DbManager::ConnectFromConfig(const QString& iniPath)
{
    Disconnect();
    QMutexLocker lock(&mutex);
    config = DbConfig::Read(iniPath);
    dialect = SqlDialect::ForDriver(config.driverType);
    ++generation;
    mainThread = QThread::currentThread();

    QSqlDatabase db = QSqlDatabase::addDatabase(config.driverType);
    if (!db.isValid() || !OpenConnection(db)) {
        qDebug() << "DbManager: connection failed:" << db.lastError().text();
        return false;
    }
    connected = true;
    lock.unlock();
    qDebug() << "connect db ok1";
    InitTables();
    return true;
}

bool DbManager::IsConnected() const
{
    QMutexLocker lock(&mutex);
    return connected;
}

void DbManager::Disconnect()
{
    QMutexLocker lock(&mutex);
    threadConnections.setLocalData(nullptr);
    if (QSqlDatabase::contains(QSqlDatabase::defaultConnection)) {
        {
            QSqlDatabase db = QSqlDatabase::database(QSqlDatabase::defaultConnection, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
    }
    connected = false;
    ++generation;
}

QSqlDatabase DbManager::Database()
{
    QMutexLocker lock(&mutex);
    if (!connected)
        return QSqlDatabase();
    if (QThread::currentThread() == mainThread)
        return QSqlDatabase::database(QSqlDatabase::defaultConnection, false);

    ThreadConnection* own = threadConnections.localData();
    if (own && own->generation == generation)
        return QSqlDatabase::database(own->name, false);

    threadConnections.setLocalData(nullptr); // drops a connection made before a reconnect
    auto* fresh = new ThreadConnection;
    fresh->generation = generation;
    fresh->name = QStringLiteral("ledger-%1-%2")
                      .arg(generation)
                      .arg(reinterpret_cast<quintptr>(QThread::currentThreadId()));
    threadConnections.setLocalData(fresh);
    QSqlDatabase db = QSqlDatabase::addDatabase(config.driverType, fresh->name);
    if (!OpenConnection(db))
        qDebug() << "DbManager: thread connection failed:" << db.lastError().text();
    return db;
}

SqlDialect DbManager::Dialect() const
{
    QMutexLocker lock(&mutex);
    return dialect;
}

QString DbManager::DriverType() const
{
    QMutexLocker lock(&mutex);
    return config.driverType;
}

QString DbManager::ErrorText() const
{
    QMutexLocker lock(&mutex);
    return errorText;
}

bool DbManager::InitTables()
{
    for (const TableSchema& table : Schema::Tables()) {
        CreateTable(table.name, table.columns, table.types);
        CreateIndexes(table.name);
    }
    return true;
}

bool DbManager::CreateTable(QString name, QStringList columns, QStringList types)
{
    if (columns.size() != types.size()) {
        qDebug() << QStringLiteral("DbManager:CreateTabl - %1 count  %2 %3 is not equal")
                        .arg(name)
                        .arg(columns.size())
                        .arg(types.size());
        return false;
    }
    QSqlDatabase db = Database();
    const QStringList existing = db.tables(QSql::Tables);
    const bool firstTable = existing.isEmpty();
    if (!firstTable && existing.contains(name, Qt::CaseSensitive)) {
        QMutexLocker lock(&mutex);
        errorText = QStringLiteral("CteateTable (%1) Failed2!\nReason: Table is exist!").arg(name);
        return false;
    }
    const QString statement = Dialect().CreateTableStatement(name, columns, types, firstTable);
    QSqlQuery query(db);
    query.exec(statement);
    if (!query.isActive()) {
        const QString reason = query.lastError().text();
        QMutexLocker lock(&mutex);
        errorText =
            firstTable ? QStringLiteral("CteateTable ( %1) Failed3!\nReason: %2").arg(name, reason)
                       : QStringLiteral("CteateTable (%1) Failed1!\n Reason: %2").arg(name, reason);
        return false;
    }
    return true;
}

void DbManager::CreateIndexes(const QString& table)
{
    QSqlDatabase db = Database();
    for (const QString& statement : Dialect().IndexStatements(table)) {
        QSqlQuery query(db);
        if (!query.exec(statement))
            qDebug() << "DbManager: index not created:" << query.lastError().text();
    }
}
