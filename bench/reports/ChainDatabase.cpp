#include "ChainDatabase.h"

#include "DbManager.h"
#include "DemoData.h"
#include "DemoWriter.h"
#include "Schema.h"

#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>

namespace
{

// Copies every ledger row of store `from` to store `to` on the server.
bool CopyShop(const QString& from, const QString& to, QTextStream& out)
{
    for (const TableSchema& table : Schema::Tables()) {
        if (table.name != QLatin1String("tb_sm_product_info") &&
            table.name != QLatin1String("tb_sm_finance_info"))
            continue;
        QStringList source = table.columns;
        source.last() = QStringLiteral("'%1'").arg(to); // store_no is the last column
        if (!ChainDatabase::Exec(
                QStringLiteral("insert into %1 (%2) select %3 from %1 where store_no='%4'")
                    .arg(table.name, table.columns.join(','), source.join(','), from),
                out))
            return false;
    }
    return true;
}

DemoOptions Options(int records)
{
    DemoOptions options;
    options.stores = 1;
    options.goodsPerStore = records * 2 / 3;
    options.moneyPerStore = records - options.goodsPerStore;
    options.days = 4 * 365;
    options.end = QDate(2024, 6, 30);
    return options;
}

} // namespace

QString ChainDatabase::StoreNo(int shop)
{
    return QStringLiteral("2023010112%1LINK").arg(shop, 7, 10, QLatin1Char('0'));
}

int ChainDatabase::Seed(int shop)
{
    return 20240601 + shop % GeneratedShops;
}

bool ChainDatabase::Exec(const QString& statement, QTextStream& out)
{
    QSqlQuery query(DbManager::Instance()->Database());
    if (query.exec(statement))
        return true;
    out << "failed: " << statement.left(120) << ": " << query.lastError().text() << "\n";
    return false;
}

bool ChainDatabase::WriteShop(int shop, const QString& storeNo, int records, QTextStream& out)
{
    DemoOptions options = Options(records);
    options.seed = Seed(shop);
    StoreDemo demo = DemoData::Build(options).first();
    demo.storeNo = storeNo;
    DemoWriter writer;
    if (writer.Write(demo))
        return true;
    out << "write failed: " << writer.Error() << "\n";
    return false;
}

bool ChainDatabase::Build(int shops, int records, QTextStream& out)
{
    QElapsedTimer timer;
    timer.start();
    for (int g = 0; g < GeneratedShops; ++g) {
        if (!WriteShop(g, StoreNo(g), records, out))
            return false;
    }
    const qint64 written = timer.restart();
    for (int n = GeneratedShops; n < shops; ++n) {
        if (!CopyShop(StoreNo(n % GeneratedShops), StoreNo(n), out))
            return false;
    }
    // As the server's own vacuum leaves the tables some time after rows came in: every row
    // visible to all, so an index holding every column a select reads answers it alone.
    Exec(QStringLiteral("vacuum analyze"), out);
    const DemoOptions options = Options(records);
    out << QStringLiteral("%1 shops of %2 records (%3 goods, %4 money) over %5 days to %6: "
                          "5 written in bulk in %7 s, %8 copied by the server in %9 s\n")
               .arg(shops)
               .arg(records)
               .arg(options.goodsPerStore)
               .arg(options.moneyPerStore)
               .arg(options.days)
               .arg(options.end.toString(Qt::ISODate))
               .arg(written / 1000.0, 0, 'f', 1)
               .arg(shops - GeneratedShops)
               .arg(timer.elapsed() / 1000.0, 0, 'f', 1);
    out.flush();
    return true;
}
