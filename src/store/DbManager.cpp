#include "DbManager.h"

#include "OdbcDriver.h"
#include "Schema.h"
#include "StoreTables.h"
#include "WriteTransaction.h"

#include <QDebug>
#include <QHash>
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
// Whether the calling thread's connection has a transaction open (each thread has its own).

// A server that does not answer fails after this many seconds instead of blocking the window.
constexpr int ConnectTimeoutSeconds = 5;

} // namespace

DbManager* DbManager::Instance()
{
    static DbManager* instance = new DbManager;
    return instance;
}

bool DbManager::OpenConnection(QSqlDatabase& db, const DbConfig& settings, QString& why)
{
    const QString timeout = QString::number(ConnectTimeoutSeconds);
    if (settings.driverType == QLatin1String("QSQLITE")) {
        db.setDatabaseName(settings.database);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(timeout + "000"));
    } else if (settings.driverType == QLatin1String("QPSQL")) {
        db.setHostName(settings.host);
        if (settings.port > 0)
            db.setPort(settings.port);
        db.setDatabaseName(settings.database);
        db.setUserName(settings.user);
        db.setPassword(settings.password);
        db.setConnectOptions(QStringLiteral("connect_timeout=%1").arg(timeout));
    } else {
        const QString text =
            settings.OdbcConnectionString(OdbcDriver::IsFreeTds(settings.odbcDriver), &why);
        if (text.isEmpty())
            return false;
        db.setDatabaseName(text);
        db.setConnectOptions(
            QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1;SQL_ATTR_CONNECTION_TIMEOUT=%1")
                .arg(timeout));
    }
    if (!db.open()) {
        why = db.lastError().text().trimmed();
        return false;
    }
    if (settings.driverType == QLatin1String("QSQLITE")) {
        // WAL lets the window and a background job write at the same time. The statement is
        // also the first read of the file: a file that is no database fails here.
        QSqlQuery wal(db);
        if (!wal.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !wal.next() ||
            wal.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0) {
            why = QStringLiteral("数据库文件 %1 不能使用（不是 SQLite 数据库，或无法改为 WAL "
                                 "日志模式）：%2")
                      .arg(settings.database,
                           wal.isActive() ? wal.value(0).toString() : wal.lastError().text());
            db.close();
            return false;
        }
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

    QString why = config.error;
    if (why.isEmpty() && config.driverType == QLatin1String("QSQLITE") &&
        config.database.trimmed().isEmpty())
        why = QStringLiteral("没有指定数据库文件（DatabaseName/DATABASE）");
    if (why.isEmpty()) {
        QSqlDatabase db = QSqlDatabase::addDatabase(config.driverType);
        if (!db.isValid())
            why = QStringLiteral("没有数据库驱动 %1").arg(config.driverType);
        else if (OpenConnection(db, config, why) && config.driverType == QLatin1String("QODBC"))
            dialect = SqlDialect::ForServer(OdbcDriver::ServerName(db));
    }
    connectError = why;
    if (!why.isEmpty()) {
        qDebug() << "DbManager: connection failed:" << why;
        return false;
    }
    connected = true;
    lock.unlock();
    qDebug() << "connect db ok1";
    if (InitTables())
        return true;
    why = ConnectError();
    Disconnect();
    lock.relock();
    connectError = why;
    return false;
}

bool DbManager::IsConnected() const
{
    QMutexLocker lock(&mutex);
    return connected;
}

QString DbManager::ConnectError() const
{
    QMutexLocker lock(&mutex);
    return connectError;
}

DbConfig DbManager::Settings() const
{
    QMutexLocker lock(&mutex);
    return config;
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
    QString why;
    if (!OpenConnection(db, config, why))
        qDebug() << "DbManager: thread connection failed:" << why;
    return db;
}

int DbManager::Generation() const
{
    QMutexLocker lock(&mutex);
    return generation;
}

DbManager::Reconnect DbManager::ReopenIfLost()
{
    if (WriteTransaction::OpenOnThisThread())
        return Reconnect::NotTried;
    QSqlDatabase db = Database();
    if (!db.isValid())
        return Reconnect::Lost; // never connected: nothing to reopen
    if (db.isOpen() && QSqlQuery(db).exec(QStringLiteral("select 1")))
        return Reconnect::NotNeeded;
    db.close();
    QString why;
    if (!OpenConnection(db, Settings(), why)) {
        qDebug() << "DbManager: connection not reopened:" << why;
        return Reconnect::Lost;
    }
    qDebug() << "DbManager: lost connection reopened";
    return Reconnect::Reopened;
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
    QHash<QString, QString> refusals;
    for (const TableSchema& table : Schema::Tables()) {
        if (!CreateTable(table.name, table.columns, table.types))
            refusals.insert(table.name, ErrorText());
        CreateIndexes(table.name);
    }
    const QStringList present = Database().tables(QSql::Tables);
    QStringList missing;
    for (const QString& table : StoreTables::All) {
        if (!present.contains(table))
            missing << table;
    }
    if (missing.isEmpty())
        return true;
    QMutexLocker lock(&mutex);
    connectError = QStringLiteral("无法建立数据表 %1：%2")
                       .arg(missing.join(QStringLiteral("、")), refusals.value(missing.first()));
    return false;
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
