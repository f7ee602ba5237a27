// bench_scripts: backup and restore of a store of 1 000 000 ledger rows, against the engines' own
// tools on the same rows: on SQLite "sqlite3 db .dump" and "sqlite3 new.db < dump", on PostgreSQL
// "pg_dump --data-only --inserts" and "psql -f dump" into empty tables. Also the demo generator's
// bulk write rate. Prints times, rates, ratios and the extra memory each of our steps took.

#include "DatabaseEngine.h"
#include "DbManager.h"
#include "DemoData.h"
#include "DemoWriter.h"
#include "Schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>
#include <sys/resource.h>

namespace
{

const QString StoreNo = QStringLiteral("20240101000000000LINK");
const QString AdminConnection = QStringLiteral("bench-admin");
// Generated once, then doubled in the database up to a million rows.
constexpr int GoodsRows = 100000;
constexpr int MoneyRows = 25000;
int doublings = 3;

QTextStream out(stdout);

// Resident memory now and at its peak since the last reset, in MiB (Linux).
double MemoryMib(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').first().toDouble() / 1024;
    }
    return 0;
}

// Processor seconds (user and system) used so far by this process or by its finished children.
double CpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Wall-clock and processor seconds of one step; on this shared machine the processor time is the
// steadier measure.
struct Cost {
    double wall = -1;
    double cpu = -1;
};

void ResetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

// Runs a program with its output (or input) in a file; invalid cost when it failed.
Cost RunTool(const QString& program, const QStringList& arguments, const QString& outputFile,
             const QString& inputFile = QString())
{
    QProcess process;
    if (!outputFile.isEmpty())
        process.setStandardOutputFile(outputFile);
    else
        process.setStandardOutputFile(QProcess::nullDevice());
    if (!inputFile.isEmpty())
        process.setStandardInputFile(inputFile);
    const double cpu = CpuSeconds(RUSAGE_CHILDREN);
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    process.waitForFinished(-1);
    const Cost cost{timer.nsecsElapsed() / 1e9, CpuSeconds(RUSAGE_CHILDREN) - cpu};
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        out << "  " << program << " failed: " << process.readAllStandardError() << "\n";
        return {};
    }
    return cost;
}

QString Rate(qint64 rows, double seconds)
{
    return QString::number(qRound64(rows / qMax(seconds, 1e-9)));
}

// Writes the generated store in bulk (timed), then doubles its ledger rows in the database.
qint64 Fill(const StoreDemo& store)
{
    QElapsedTimer timer;
    timer.start();
    DemoWriter writer;
    if (!writer.Write(store)) {
        out << "  generation failed: " << writer.Error() << "\n";
        return -1;
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    const qint64 written = store.goods.size() + store.money.size();
    out << QStringLiteral("  generator bulk write: %1 rows in %2 s, %3 rows/s\n")
               .arg(written)
               .arg(seconds, 0, 'f', 2)
               .arg(Rate(written, seconds));
    for (const TableSchema& table : Schema::Tables()) {
        if (table.columns.first() != QLatin1String("tab_type"))
            continue;
        // Each copy's entry time gets the round's number: every row keeps a key of its own, as
        // the saves keep it.
        QStringList selected = table.columns;
        selected[1] += QStringLiteral("||?");
        for (int i = 0; i < doublings; ++i) {
            QSqlQuery query(DbManager::Instance()->Database());
            query.prepare(QStringLiteral("insert into %1(%2) select %3 from %1")
                              .arg(table.name, table.columns.join(u','), selected.join(u',')));
            query.addBindValue(QStringLiteral("-%1").arg(i + 1));
            if (!query.exec()) {
                out << "  doubling failed: " << query.lastError().text() << "\n";
                return -1;
            }
        }
    }
    QSqlQuery count(DbManager::Instance()->Database());
    count.exec(QStringLiteral("select (select count(*) from tb_sm_product_info)+(select count(*) "
                              "from tb_sm_finance_info)"));
    return count.next() ? count.value(0).toLongLong() : -1;
}

struct Ours {
    Cost backup;
    Cost restore;
};

Ours BackupAndRestore(const QString& script)
{
    Ours ours;
    DatabaseEngine* engine = DatabaseEngine::Instance();
    double before = MemoryMib("VmRSS:");
    ResetPeak();
    QElapsedTimer timer;
    timer.start();
    double cpu = CpuSeconds(RUSAGE_SELF);
    const BackupResult backup = engine->BackupToScript(script);
    ours.backup = {timer.nsecsElapsed() / 1e9, CpuSeconds(RUSAGE_SELF) - cpu};
    if (!backup.ok) {
        out << "  backup failed: " << backup.error << "\n";
        return {};
    }
    out << QStringLiteral("  our backup:  %1 rows in %2 s, %3 rows/s, %4 MiB file, +%5 MiB "
                          "memory at peak\n")
               .arg(backup.rows)
               .arg(ours.backup.wall, 0, 'f', 2)
               .arg(Rate(backup.rows, ours.backup.wall))
               .arg(QFileInfo(script).size() / 1048576.0, 0, 'f', 0)
               .arg(MemoryMib("VmHWM:") - before, 0, 'f', 0);

    before = MemoryMib("VmRSS:");
    ResetPeak();
    timer.start();
    cpu = CpuSeconds(RUSAGE_SELF);
    const RestoreResult restore = engine->RestoreFromScript(script);
    ours.restore = {timer.nsecsElapsed() / 1e9, CpuSeconds(RUSAGE_SELF) - cpu};
    if (!restore.ok || restore.restored != backup.rows) {
        out << "  restore failed: " << restore.error << " (" << restore.restored << " rows)\n";
        return {};
    }
    out << QStringLiteral("  our restore: %1 rows in %2 s, %3 rows/s, +%4 MiB memory at peak\n")
               .arg(restore.restored)
               .arg(ours.restore.wall, 0, 'f', 2)
               .arg(Rate(restore.restored, ours.restore.wall))
               .arg(MemoryMib("VmHWM:") - before, 0, 'f', 0);
    return ours;
}

void Compare(const char* what, const Cost& ours, const QString& tool, const Cost& theirs)
{
    if (ours.wall < 0 || theirs.wall < 0)
        return;
    out << QStringLiteral("  %1: wall ours %2 s, %3 %4 s, ratio %5; processor ours %6 s, %3 %7 "
                          "s, ratio %8\n")
               .arg(QLatin1String(what))
               .arg(ours.wall, 0, 'f', 2)
               .arg(tool)
               .arg(theirs.wall, 0, 'f', 2)
               .arg(ours.wall / theirs.wall, 0, 'f', 2)
               .arg(ours.cpu, 0, 'f', 2)
               .arg(theirs.cpu, 0, 'f', 2)
               .arg(ours.cpu / qMax(theirs.cpu, 1e-3), 0, 'f', 2);
}

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

bool Connect(const QString& config)
{
    if (!DbManager::Instance()->ConnectFromConfig(config)) {
        out << "  cannot connect\n";
        return false;
    }
    DatabaseEngine::Instance()->SetDbManager(DbManager::Instance());
    DatabaseEngine::Instance()->SetStoreNo(StoreNo);
    return true;
}

void MeasureSqlite(const StoreDemo& store)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bench.db"));
    out << "SQLite (" << file << ")\n";
    if (!Connect(WriteConfig(dir, {{QStringLiteral("Driver/TYPE"), QStringLiteral("QSQLITE")},
                                   {QStringLiteral("DatabaseName/DATABASE"), file}})))
        return;
    const qint64 rows = Fill(store);
    if (rows < 0)
        return;
    out << "  " << rows << " ledger rows\n";
    out.flush();
    QSqlQuery(DbManager::Instance()->Database())
        .exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    const QString dump = dir.filePath(QStringLiteral("dump.sql"));
    const Cost dumped = RunTool(QStringLiteral("sqlite3"), {file, QStringLiteral(".dump")}, dump);
    const Cost loaded =
        RunTool(QStringLiteral("sqlite3"), {dir.filePath("new.db")}, QString(), dump);
    const Ours ours = BackupAndRestore(dir.filePath(QStringLiteral("backup.sql")));
    Compare("backup against sqlite3 .dump", ours.backup, QStringLiteral("sqlite3 .dump"), dumped);
    Compare("restore against sqlite3 < dump", ours.restore, QStringLiteral("sqlite3 < dump"),
            loaded);
    DbManager::Instance()->Disconnect();
}

bool RunAdmin(const QString& statement)
{
    QSqlQuery query(QSqlDatabase::database(AdminConnection));
    if (query.exec(statement))
        return true;
    out << "  " << statement << ": " << query.lastError().text() << "\n";
    return false;
}

void MeasurePostgres(const QString& server, const StoreDemo& store)
{
    QHash<QString, QString> keys;
    for (const QString& part : server.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        keys.insert(part.section(QLatin1Char('='), 0, 0), part.section(QLatin1Char('='), 1));
    const QString host = keys.value(QStringLiteral("host"), QStringLiteral("127.0.0.1"));
    const QString port = keys.value(QStringLiteral("port"), QStringLiteral("5432"));
    const QString user = keys.value(QStringLiteral("user"), QStringLiteral("postgres"));
    out << "PostgreSQL (" << server << ")\n";
    {
        QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), AdminConnection);
        admin.setHostName(host);
        admin.setPort(port.toInt());
        admin.setUserName(user);
        admin.setDatabaseName(QStringLiteral("postgres"));
        if (!admin.open()) {
            out << "  cannot connect: " << admin.lastError().text() << "\n";
            return;
        }
    }
    const QStringList databases = {QStringLiteral("ledger_bench"),
                                   QStringLiteral("ledger_bench_load")};
    for (const QString& name : databases) {
        if (!RunAdmin(QStringLiteral("drop database if exists %1").arg(name)) ||
            !RunAdmin(QStringLiteral("create database %1").arg(name)))
            return;
    }
    QTemporaryDir dir;
    const QStringList login = {QStringLiteral("-h"), host, QStringLiteral("-p"), port,
                               QStringLiteral("-U"), user};
    auto config = [&](const QString& database) {
        return WriteConfig(dir, {{QStringLiteral("Driver/TYPE"), QStringLiteral("QPSQL")},
                                 {QStringLiteral("HostName/IP"), host},
                                 {QStringLiteral("Port/PORT"), port.toInt()},
                                 {QStringLiteral("UserName/UID"), user},
                                 {QStringLiteral("DatabaseName/DATABASE"), database}});
    };
    // The load target gets the program's empty tables.
    if (Connect(config(databases[1])))
        DbManager::Instance()->Disconnect();
    if (Connect(config(databases[0]))) {
        const qint64 rows = Fill(store);
        if (rows >= 0) {
            out << "  " << rows << " ledger rows\n";
            out.flush();
            const QString dump = dir.filePath(QStringLiteral("dump.sql"));
            const Cost dumped =
                RunTool(QStringLiteral("pg_dump"),
                        login + QStringList{QStringLiteral("--data-only"),
                                            QStringLiteral("--inserts"), databases[0]},
                        dump);
            const Cost loaded = RunTool(
                QStringLiteral("psql"),
                login + QStringList{QStringLiteral("-q"), QStringLiteral("-X"),
                                    QStringLiteral("-d"), databases[1], QStringLiteral("-f"), dump},
                QString());
            const Ours ours = BackupAndRestore(dir.filePath(QStringLiteral("backup.sql")));
            Compare("backup against pg_dump --data-only --inserts", ours.backup,
                    QStringLiteral("pg_dump"), dumped);
            Compare("restore against psql -f dump", ours.restore, QStringLiteral("psql -f"),
                    loaded);
        }
        DbManager::Instance()->Disconnect();
    }
    for (const QString& name : databases)
        RunAdmin(QStringLiteral("drop database %1").arg(name));
    QSqlDatabase::database(AdminConnection).close();
    QSqlDatabase::removeDatabase(AdminConnection);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    // An argument halves the store that many times, for a quicker run.
    if (argc > 1)
        doublings = qMax(0, doublings - QByteArray(argv[1]).toInt());
    DemoOptions options;
    options.goodsPerStore = GoodsRows;
    options.moneyPerStore = MoneyRows;
    options.days = 4 * 365;
    options.end = QDate(2024, 6, 30);
    options.firstStoreNo = StoreNo;
    const StoreDemo store = DemoData::Build(options).first();
    out << QStringLiteral("%1 goods and %2 money rows generated, doubled %3 times in the "
                          "database\n")
               .arg(store.goods.size())
               .arg(store.money.size())
               .arg(doublings);
    out.flush();
    MeasureSqlite(store);
    out.flush();
    const QString pg = qEnvironmentVariable("LEDGER_TEST_PG");
    if (!pg.isEmpty())
        MeasurePostgres(pg, store);
    return 0;
}
