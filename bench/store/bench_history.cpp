// bench_history: what the change history costs on SQLite, each figure against the same work
// without it in the same run: a cell edit (one stored row with its entry) in ms per edit, and an
// import of 50 000 goods rows (new rows, then the same rows again as updates, whose values before
// go into the entry), as the import stores them: 2000 records to a batch save; and the history
// read back with its chain checked, as the dialog opens it.
#include "BatchSaver.h"
#include "ChangeEntry.h"
#include "DatabaseEngine.h"
#include "DbManager.h"
#include "LedgerStore.h"
#include "StoreTables.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <functional>

namespace
{

constexpr int Edits = 400;
constexpr int ImportRows = 50000;
const QString Store = QStringLiteral("BENCH-STORE");

ProductRecord Row(int i, const QString& tag)
{
    ProductRecord r;
    r.tab_type = 2;
    r.product_serial = QStringLiteral("2026-05-01 10:%1").arg(i, 6, 10, QChar('0'));
    r.product_class = QStringLiteral("服装");
    r.product_name = QStringLiteral("衬衫");
    r.product_model = QStringLiteral("M-%1").arg(i % 300);
    r.product_color = QStringLiteral("红");
    r.product_time = QStringLiteral("2026-05-%1").arg(1 + i % 28, 2, 10, QChar('0'));
    r.product_store = QStringLiteral("一号库");
    r.product_num = QString::number(1 + i % 9);
    r.product_price = QStringLiteral("12.5");
    r.product_total = tag;
    r.product_supply = QStringLiteral("李");
    r.product_purchase = QStringLiteral("王");
    return r;
}

double Seconds(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e9;
}

void Empty()
{
    QSqlQuery(DbManager::Instance()->Database())
        .exec(QStringLiteral("delete from tb_sm_product_info"));
}

// Ms per edit of one stored row, every edit a new value.
double EditMs(const std::function<bool(const ProductRecord&)>& save)
{
    ProductRecord r = Row(1, QStringLiteral("0"));
    save(r);
    return Seconds([&] {
               for (int i = 0; i < Edits; ++i) {
                   r.product_num = QString::number(i);
                   if (!save(r))
                       qFatal("edit refused: %s",
                              qPrintable(DatabaseEngine::Instance()->LastError()));
               }
           }) *
           1000 / Edits;
}

// Seconds for the import of `records`, 2000 to a batch save, with or without its entry.
double ImportSeconds(const QList<ProductRecord>& records, bool withHistory)
{
    DatabaseEngine* engine = DatabaseEngine::Instance();
    const StoreConnection connection(DbManager::Instance());
    return Seconds([&] {
        QList<QVariantList> before;
        for (qsizetype from = 0; from < records.size(); from += BatchSaver::RowsPerTransaction) {
            const QList<ProductRecord> part = records.mid(from, BatchSaver::RowsPerTransaction);
            if (withHistory)
                engine->SaveProductBatch(part, &before);
            else
                BatchSaver(connection, Store).SaveProducts(part);
        }
        if (withHistory && !engine->RecordImport(QStringLiteral("bench.xls"), StoreTables::Product,
                                                 2, QStringLiteral("bench"), before))
            qFatal("import entry refused: %s", qPrintable(engine->LastError()));
    });
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("dBConfig.ini"));
    {
        QSettings ini(config, QSettings::IniFormat);
        ini.setValue(QStringLiteral("Driver/TYPE"), QStringLiteral("QSQLITE"));
        ini.setValue(QStringLiteral("DatabaseName/DATABASE"),
                     dir.filePath(QStringLiteral("bench.db")));
        ini.setValue(QStringLiteral("StoreNo/No"), Store);
    }
    DbManager* manager = DbManager::Instance();
    if (!manager->ConnectFromConfig(config)) {
        out << "cannot connect: " << manager->ConnectError() << "\n";
        return 1;
    }
    DatabaseEngine* engine = DatabaseEngine::Instance();
    engine->SetDbManager(manager);
    engine->SetStoreNo(Store);
    engine->SetActor({QStringLiteral("admin"), 1});

    const StoreConnection connection(manager);
    const LedgerStore plain(connection, Store);
    const double without = EditMs([&](const ProductRecord& r) { return plain.SaveProduct(r); });
    const double with = EditMs([&](const ProductRecord& r) { return engine->SaveProductInfo(r); });
    out << QStringLiteral("edit of one row (SQLite): %1 ms without history, %2 ms with, ratio %3\n")
               .arg(without, 0, 'f', 3)
               .arg(with, 0, 'f', 3)
               .arg(with / without, 0, 'f', 2);

    QList<ProductRecord> first;
    QList<ProductRecord> again;
    for (int i = 0; i < ImportRows; ++i) {
        first << Row(i, QStringLiteral("1"));
        again << Row(i, QStringLiteral("2"));
    }
    for (const auto& [name, records] : {std::pair{QStringLiteral("new rows"), &first},
                                        std::pair{QStringLiteral("updates"), &again}}) {
        // Each run on the same stored rows: the first import's runs on an empty table.
        auto run = [&](bool history) {
            if (records == &first)
                Empty();
            else
                ImportSeconds(first, false);
            return ImportSeconds(*records, history);
        };
        const double plainImport = run(false);
        const double recorded = run(true);
        out << QStringLiteral("import of %1 rows, %2: %3 s without history, %4 s with, ratio %5\n")
                   .arg(ImportRows)
                   .arg(name)
                   .arg(plainImport, 0, 'f', 2)
                   .arg(recorded, 0, 'f', 2)
                   .arg(recorded / plainImport, 0, 'f', 2);
    }
    // What the dialog reads when it opens: every entry, its chain checked.
    QList<ChangeEntry> entries;
    qsizetype chars = 0;
    const double load = Seconds([&] {
        if (!engine->LoadChangeHistory(entries))
            qFatal("history not read: %s", qPrintable(engine->LastError()));
        ChangeChain::Check(entries);
    });
    for (const ChangeEntry& e : std::as_const(entries))
        chars += e.before.size() + e.after.size();
    out << QStringLiteral("the history read and its chain checked: %1 entries, %2 million "
                          "characters of values, %3 s\n")
               .arg(entries.size())
               .arg(chars / 1e6, 0, 'f', 1)
               .arg(load, 0, 'f', 2);
    out.flush();
    return 0;
}
