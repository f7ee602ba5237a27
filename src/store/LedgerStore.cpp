#include "LedgerStore.h"

#include "LedgerColumns.h"
#include "StoreTables.h"

#include <QSqlQuery>

using StoredValue::Text;

bool LedgerStore::SaveProduct(const ProductRecord& r) const
{
    return LedgerColumns::ProductRow(r, storeNo).Save(connection);
}

bool LedgerStore::SaveFinance(const FinanceRecord& r) const
{
    return LedgerColumns::FinanceRow(r, storeNo).Save(connection);
}

bool LedgerStore::Delete(const QString& statement, const QVariantList& values) const
{
    QSqlQuery query(connection.Database());
    return connection.Run(query, statement, values);
}

bool LedgerStore::DeleteProduct(const ProductRecord& r) const
{
    return Delete(QStringLiteral("delete from tb_sm_product_info where tab_type=? and "
                                 "product_serial=? and store_no=?"),
                  {r.tab_type, Text(r.product_serial), Text(storeNo)});
}

bool LedgerStore::DeleteFinance(const FinanceRecord& r) const
{
    return Delete(QStringLiteral("delete from tb_sm_finance_info where tab_type=? and ie_serial=? "
                                 "and store_no=?"),
                  {r.tab_type, Text(r.ie_serial), Text(storeNo)});
}

bool LedgerStore::ClearProducts(int kind) const
{
    return Delete(QStringLiteral("delete from tb_sm_product_info where tab_type=? and store_no=?"),
                  {kind, Text(storeNo)});
}

bool LedgerStore::ClearFinances(int kind) const
{
    return Delete(QStringLiteral("delete from tb_sm_finance_info where tab_type=? and store_no=?"),
                  {kind, Text(storeNo)});
}

qint64 LedgerStore::CountProducts(int kind) const
{
    return CountKind(StoreTables::Product, kind);
}

qint64 LedgerStore::CountFinances(int kind) const
{
    return CountKind(StoreTables::Finance, kind);
}

qint64 LedgerStore::CountKind(const QString& table, int kind) const
{
    return connection.Count(
        QStringLiteral("select count(*) from %1 where tab_type=? and store_no=?").arg(table),
        {kind, Text(storeNo)});
}
