// bench_store: the data store's period selects against the database engines' own clients.

#include "DatabaseEngine.h"
#include "DbManager.h"
#include "DemoData.h"
#include "DemoWriter.h"
#include "RawClient.h"
#include "SelectBench.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <memory>

namespace
{

const QString BenchDatabase = QStringLiteral("ledger_bench");
const QString AdminConnection = QStringLiteral("bench-admin");

// A configuration file with the given keys, in the temporary folder.
QString WriteConfig(const QTemporaryDir& dir, const QHash<QString, QVariant>& keys)
{
    const QString path = dir.filePath(QStringLiteral("dBConfig.ini"));
    QSettings ini(path, QSettings::IniFormat);
    ini.clear();
    for (auto it = keys.begin(); it != keys.end(); ++it)
        ini.setValue(it.key(), it.value());
    ini.sync();
    return path;
}

// Connects, writes the store's data in bulk and runs every measurement on it.
bool Measure(const QString& configPath, const StoreDemo& store, const RawClient& raw,
             QTextStream& out)
{
    DbManager* manager = DbManager::Instance();
    if (!manager->ConnectFromConfig(configPath)) {
        out << "  cannot connect\n";
        return false;
    }
    DatabaseEngine::Instance()->SetDbManager(manager);
    DatabaseEngine::Instance()->SetStoreNo(store.storeNo);

    QElapsedTimer timer;
    timer.start();
    DemoWriter writer;
    if (!writer.Write(store)) {
        out << "  generation failed: " << writer.Error() << "\n";
        return false;
    }
    const qsizetype rows = store.goods.size() + store.money.size();
    out << QStringLiteral("  bulk insert of %1 rows: %2 s, %3 rows/s\n")
               .arg(rows)
               .arg(timer.elapsed() / 1000.0, 0, 'f', 1)
               .arg(qRound64(rows * 1000.0 / qMax<qint64>(timer.elapsed(), 1)));
    if (manager->DriverType() == QLatin1String("QPSQL"))
        QSqlQuery(manager->Database()).exec(QStringLiteral("analyze"));

    const QDate lastDay = QDate::fromString(store.goods.last().product_time, Qt::ISODate);
    SelectBench bench(raw, store.storeNo, lastDay, out);
    bench.RunSelects();
    out << "  query plans:\n";
    bench.ShowPlans();
    bench.RunSaves(100);
    return true;
}

// "host=127.0.0.1 port=5432 user=postgres" -> its keys.
QHash<QString, QString> ConnectionKeys(const QString& text)
{
    QHash<QString, QString> keys;
    for (const QString& part : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        keys.insert(part.section(QLatin1Char('='), 0, 0), part.section(QLatin1Char('='), 1));
    return keys;
}

bool RunAdmin(const QString& statement, QTextStream& out)
{
    QSqlQuery query(QSqlDatabase::database(AdminConnection));
    if (query.exec(statement))
        return true;
    out << "  " << statement << ": " << query.lastError().text() << "\n";
    return false;
}

void MeasurePostgres(const QString& connection, const StoreDemo& store, QTextStream& out)
{
    const QHash<QString, QString> keys = ConnectionKeys(connection);
    const QString host = keys.value(QStringLiteral("host"), QStringLiteral("127.0.0.1"));
    const int port = keys.value(QStringLiteral("port"), QStringLiteral("5432")).toInt();
    const QString user = keys.value(QStringLiteral("user"), QStringLiteral("postgres"));
    {
        QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), AdminConnection);
        admin.setHostName(host);
        admin.setPort(port);
        admin.setUserName(user);
        admin.setPassword(keys.value(QStringLiteral("password")));
        admin.setDatabaseName(QStringLiteral("postgres"));
        if (!admin.open()) {
            out << "  cannot connect: " << admin.lastError().text() << "\n";
            return;
        }
    }
    if (RunAdmin(QStringLiteral("drop database if exists %1").arg(BenchDatabase), out) &&
        RunAdmin(QStringLiteral("create database %1").arg(BenchDatabase), out)) {
        QTemporaryDir dir;
        const QString config = WriteConfig(
            dir, {{QStringLiteral("Driver/TYPE"), QStringLiteral("QPSQL")},
                  {QStringLiteral("HostName/IP"), host},
                  {QStringLiteral("Port/PORT"), port},
                  {QStringLiteral("UserName/UID"), user},
                  {QStringLiteral("Password/PWD"), keys.value(QStringLiteral("password"))},
                  {QStringLiteral("DatabaseName/DATABASE"), BenchDatabase}});
        Measure(config, store, PsqlCli(host, port, user, BenchDatabase), out);
        DbManager::Instance()->Disconnect();
        RunAdmin(QStringLiteral("drop database %1").arg(BenchDatabase), out);
    }
    QSqlDatabase::database(AdminConnection).close();
    QSqlDatabase::removeDatabase(AdminConnection);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);

    DemoOptions options;
    options.goodsPerStore = 100000;
    options.moneyPerStore = 50000;
    options.days = 4 * 365;
    options.end = QDate(2024, 6, 30);
    const StoreDemo store = DemoData::Build(options).first();
    out << QStringLiteral("%1 goods and %2 money rows over %3 days up to %4\n")
               .arg(store.goods.size())
               .arg(store.money.size())
               .arg(options.days)
               .arg(options.end.toString(Qt::ISODate));
    out.flush();

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bench.db"));
    out << "SQLite (" << file << ")\n";
    const QString config =
        WriteConfig(dir, {{QStringLiteral("Driver/TYPE"), QStringLiteral("QSQLITE")},
                          {QStringLiteral("DatabaseName/DATABASE"), file}});
    const bool sqliteDone = Measure(config, store, SqliteCli(file), out);
    DbManager::Instance()->Disconnect();

    const QString pg = qEnvironmentVariable("LEDGER_TEST_PG");
    if (!pg.isEmpty()) {
        out << "PostgreSQL (" << pg << ")\n";
        out.flush();
        MeasurePostgres(pg, store, out);
    }
    return sqliteDone ? 0 : 1;
}
