// bench_ledgerimport: importing 50 000 goods rows from .xls and .xlsx into SQLite and PostgreSQL,
// and exporting a 60 000-row page, each against the engine's own read of the same file in the
// same run. A second import of the same file updates every row: its time is set against the first
// import's, against the same import without its change history, and against the same updates
// sent one statement per record, as they were before updates were batched. Times in seconds (wall
// clock, and this process's own CPU time, which a busy machine inflates less); memory is the peak
// resident size during the step.
#include "BatchSaver.h"
#include "DatabaseEngine.h"
#include "DbManager.h"
#include "DemoData.h"
#include "ExcelEngine.h"
#include "LedgerColumns.h"
#include "LedgerExport.h"
#include "LedgerImport.h"
#include "LedgerSheet.h"
#include "LedgerSheetRows.h"
#include "SheetTable.h"

#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <ctime>
#include <functional>

namespace
{

constexpr int ImportRows = 50000;
constexpr int ExportRows = 60000;
const QString BenchDatabase = QStringLiteral("ledger_bench_import");
const QString AdminConnection = QStringLiteral("bench-import-admin");

// A goods page over records, with headers, as the window's page model shows it.
class PageModel : public QAbstractTableModel
{
public:
    explicit PageModel(QList<ProductRecord> records) : records(std::move(records)) {}
    int rowCount(const QModelIndex& = QModelIndex()) const override { return int(records.size()); }
    int columnCount(const QModelIndex& = QModelIndex()) const override
    {
        return ProductRecord::TextCount;
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        return role == Qt::DisplayRole ? records.at(index.row()).Text(index.column()) : QVariant();
    }
    QVariant headerData(int section, Qt::Orientation, int role) const override
    {
        return role == Qt::DisplayRole ? QStringLiteral("列%1").arg(section) : QVariant();
    }

private:
    QList<ProductRecord> records;
};

// The peak resident size since the last reset, in MB; the reset makes the next step's own.
double PeakMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    return -1;
}

void ResetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

struct Step {
    double seconds = 0;
    double cpuSeconds = 0;
    double peakMb = 0;
};

Step Measure(const std::function<void()>& work)
{
    ResetPeak();
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpu = std::clock();
    work();
    return {timer.nsecsElapsed() / 1e9, double(std::clock() - cpu) / CLOCKS_PER_SEC, PeakMb()};
}

Step EngineRead(const QString& path)
{
    return Measure([&] {
        ExcelEngine sheet(path);
        QStringList lines;
        sheet.Open(1, false);
        sheet.ReadSheetToList(lines);
    });
}

void Print(QTextStream& out, const QString& what, const Step& step, const Step& baseline)
{
    out << QStringLiteral("  %1: %2 s (%3 x engine read), cpu %4 s (%5 x), peak %6 MB (engine "
                          "read %7 MB)\n")
               .arg(what, -38)
               .arg(step.seconds, 0, 'f', 2)
               .arg(step.seconds / baseline.seconds, 0, 'f', 1)
               .arg(step.cpuSeconds, 0, 'f', 2)
               .arg(step.cpuSeconds / baseline.cpuSeconds, 0, 'f', 1)
               .arg(step.peakMb, 0, 'f', 0)
               .arg(baseline.peakMb, 0, 'f', 0);
    out.flush();
}

QString WriteConfig(const QTemporaryDir& dir, const QList<QPair<QString, QVariant>>& keys)
{
    const QString path = dir.filePath(QStringLiteral("dBConfig.ini"));
    QSettings ini(path, QSettings::IniFormat);
    for (const auto& [key, value] : keys)
        ini.setValue(key, value);
    ini.sync();
    return path;
}

// The updates of a re-import as they were sent before they were batched: one prepared
// statement per record, 2000 records to a transaction.
Step RowByRow(const QList<ProductRecord>& records, const QString& storeNo, qint64& updated)
{
    return Measure([&] {
        QSqlDatabase db = DbManager::Instance()->Database();
        QSqlQuery update(db);
        update.prepare(LedgerColumns::ProductRow(ProductRecord(), storeNo).UpdateStatement());
        for (qsizetype from = 0; from < records.size(); from += DatabaseEngine::BatchRows) {
            db.transaction();
            for (qsizetype i = from; i < std::min(records.size(), from + DatabaseEngine::BatchRows);
                 ++i) {
                ProductRecord record = records.at(i);
                record.tab_type = 0; // the kind the import stores
                const QVariantList values =
                    LedgerColumns::ProductRow(record, storeNo).UpdateValues();
                for (qsizetype v = 0; v < values.size(); ++v)
                    update.bindValue(int(v), values.at(v));
                if (update.exec())
                    updated += update.numRowsAffected();
            }
            db.commit();
        }
    });
}

// A re-import without its change history: the file read and its rows stored as the import does,
// without keeping the updated rows' values or writing the entry.
Step WithoutHistory(const QString& path, const QString& storeNo)
{
    return Measure([&] {
        ExcelEngine sheet(path);
        sheet.Open(1, false);
        SheetTable cells(sheet.GetColumnCount());
        sheet.ReadSheetToTable(&cells);
        const LedgerSheetRows rows(
            0, [] { return QString(); }, sheet.DateSystem1904());
        sheet.Close();
        const StoreConnection connection(DbManager::Instance());
        const BatchSaver saver(connection, storeNo);
        for (int from = 0; from < cells.rowCount(); from += DatabaseEngine::BatchRows) {
            QList<ProductRecord> records;
            for (int i = from; i < std::min(cells.rowCount(), from + DatabaseEngine::BatchRows);
                 ++i) {
                ProductRecord record;
                QString reason;
                if (rows.ToRecord(cells.Row(i), record, reason))
                    records << record;
            }
            saver.SaveProducts(records);
        }
    });
}

void PrintRatio(QTextStream& out, const QString& what, const Step& step, const Step& baseline)
{
    out << QStringLiteral("  %1: %2 x (%3 s against %4 s)\n")
               .arg(what, -38)
               .arg(step.seconds / baseline.seconds, 0, 'f', 2)
               .arg(step.seconds, 0, 'f', 2)
               .arg(baseline.seconds, 0, 'f', 2);
    out.flush();
}

void ImportInto(const QString& name, const QString& config, const QList<QString>& files,
                const QList<Step>& baselines, const QList<ProductRecord>& records, QTextStream& out)
{
    if (!DbManager::Instance()->ConnectFromConfig(config)) {
        out << "  " << name << ": cannot connect\n";
        return;
    }
    DatabaseEngine* engine = DatabaseEngine::Instance();
    engine->SetDbManager(DbManager::Instance());
    engine->SetStoreNo(QStringLiteral("20240101000000000LINK"));
    int serial = 0;
    LedgerImport import(*engine, [&serial] { return QStringLiteral("new %1").arg(++serial); });
    for (qsizetype i = 0; i < files.size(); ++i) {
        engine->ClearProductInfo(0);
        ImportReport report;
        const QString suffix = files[i].section(QLatin1Char('.'), -1);
        const Step first = Measure([&] { report = import.Run(files[i], 1, 0); });
        Print(out, QStringLiteral("%1 import .%2 (%3 new)").arg(name, suffix).arg(report.inserted),
              first, baselines[i]);
        const Step again = Measure([&] { report = import.Run(files[i], 1, 0); });
        Print(out,
              QStringLiteral("%1 again .%2 (%3 updated)").arg(name, suffix).arg(report.updated),
              again, baselines[i]);
        PrintRatio(out, QStringLiteral("%1 again ÷ import .%2").arg(name, suffix), again, first);
        PrintRatio(out, QStringLiteral("%1 again ÷ without history .%2").arg(name, suffix), again,
                   WithoutHistory(files[i], engine->StoreNo()));
        if (i == 0) {
            qint64 updated = 0;
            const Step single = RowByRow(records, engine->StoreNo(), updated);
            PrintRatio(out, QStringLiteral("%1 again ÷ row by row (%2)").arg(name).arg(updated),
                       again, single);
        }
    }
    DbManager::Instance()->Disconnect();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;

    DemoOptions options;
    options.goodsPerStore = ExportRows;
    options.moneyPerStore = 1;
    options.days = 365;
    options.end = QDate(2024, 6, 30);
    QList<ProductRecord> goods = DemoData::Build(options).first().goods;
    const QString page = dir.filePath(QStringLiteral("page.xls"));
    const PageModel exportPage(goods);
    const Step exported =
        Measure([&] { LedgerExport::Write(page, LedgerSheet::GoodsLedger, exportPage); });
    out << QStringLiteral("export of a %1-row goods page:\n").arg(ExportRows);
    Print(out, QStringLiteral("export .xls"), exported, EngineRead(page));

    goods.resize(ImportRows);
    const PageModel importPage(goods);
    QList<QString> files = {dir.filePath(QStringLiteral("goods.xls"))};
    LedgerExport::Write(files[0], LedgerSheet::GoodsLedger, importPage);
    // The engine writes .xlsx only into a workbook that exists: an empty one from openpyxl.
    const QString xlsx = dir.filePath(QStringLiteral("goods.xlsx"));
    if (QProcess::execute(
            QStringLiteral("/usr/bin/python3"),
            {QStringLiteral("-c"),
             QStringLiteral("import openpyxl,sys; openpyxl.Workbook().save(sys.argv[1])"), xlsx}) ==
            0 &&
        LedgerExport::Write(xlsx, LedgerSheet::GoodsLedger, importPage).isEmpty())
        files << xlsx;
    else
        out << "  (no .xlsx: python3-openpyxl missing)\n";
    QList<Step> baselines;
    for (const QString& file : files)
        baselines << EngineRead(file);

    out << QStringLiteral("import of %1 goods rows:\n").arg(ImportRows);
    {
        QTemporaryDir db;
        ImportInto(QStringLiteral("SQLite"),
                   WriteConfig(db, {{QStringLiteral("Driver/TYPE"), QStringLiteral("QSQLITE")},
                                    {QStringLiteral("DatabaseName/DATABASE"),
                                     db.filePath(QStringLiteral("bench.db"))}}),
                   files, baselines, goods, out);
    }

    const QString server = qEnvironmentVariable("LEDGER_TEST_PG");
    if (server.isEmpty()) {
        out << "  (no PostgreSQL: LEDGER_TEST_PG is not set)\n";
        return 0;
    }
    QHash<QString, QString> keys;
    for (const QString& part : server.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        keys.insert(part.section(QLatin1Char('='), 0, 0), part.section(QLatin1Char('='), 1));
    {
        QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), AdminConnection);
        admin.setHostName(keys.value(QStringLiteral("host")));
        admin.setPort(keys.value(QStringLiteral("port")).toInt());
        admin.setUserName(keys.value(QStringLiteral("user")));
        admin.setDatabaseName(QStringLiteral("postgres"));
        QSqlQuery query(admin.open() ? admin : QSqlDatabase());
        query.exec(QStringLiteral("drop database if exists %1").arg(BenchDatabase));
        if (!query.exec(QStringLiteral("create database %1").arg(BenchDatabase))) {
            out << "  cannot create the PostgreSQL database: " << query.lastError().text() << "\n";
            return 1;
        }
    }
    QTemporaryDir pg;
    ImportInto(
        QStringLiteral("PostgreSQL"),
        WriteConfig(pg, {{QStringLiteral("Driver/TYPE"), QStringLiteral("QPSQL")},
                         {QStringLiteral("HostName/IP"), keys.value(QStringLiteral("host"))},
                         {QStringLiteral("Port/PORT"), keys.value(QStringLiteral("port"))},
                         {QStringLiteral("UserName/UID"), keys.value(QStringLiteral("user"))},
                         {QStringLiteral("DatabaseName/DATABASE"), BenchDatabase}}),
        files, baselines, goods, out);
    QSqlQuery(QSqlDatabase::database(AdminConnection))
        .exec(QStringLiteral("drop database %1").arg(BenchDatabase));
    QSqlDatabase::removeDatabase(AdminConnection);
    return 0;
}
