#include "LedgerStore.h"

#include "ChangeHistory.h"
#include "LedgerColumns.h"
#include "RecordedWrite.h"
#include "StoreTables.h"

using StoredValue::Text;

namespace
{

const QString ProductKey = QStringLiteral("tab_type=? and product_serial=? and store_no=?");
const QString FinanceKey = QStringLiteral("tab_type=? and ie_serial=? and store_no=?");
const QString KindOfStore = QStringLiteral("tab_type=? and store_no=?");

} // namespace

bool LedgerStore::SaveProduct(const ProductRecord& r) const
{
    return RecordedWrite(connection, history)
        .Save(LedgerColumns::ProductRow(r, storeNo), r.tab_type, r.product_serial);
}

bool LedgerStore::SaveFinance(const FinanceRecord& r) const
{
    return RecordedWrite(connection, history)
        .Save(LedgerColumns::FinanceRow(r, storeNo), r.tab_type, r.ie_serial);
}

bool LedgerStore::DeleteProduct(const ProductRecord& r) const
{
    return RecordedWrite(connection, history)
        .Delete(StoreTables::Product, ProductKey,
                {r.tab_type, Text(r.product_serial), Text(storeNo)}, ChangeEntry::Delete,
                r.tab_type, r.product_serial);
}

bool LedgerStore::DeleteFinance(const FinanceRecord& r) const
{
    return RecordedWrite(connection, history)
        .Delete(StoreTables::Finance, FinanceKey, {r.tab_type, Text(r.ie_serial), Text(storeNo)},
                ChangeEntry::Delete, r.tab_type, r.ie_serial);
}

bool LedgerStore::ClearProducts(int kind) const
{
    return RecordedWrite(connection, history)
        .Delete(StoreTables::Product, KindOfStore, {kind, Text(storeNo)}, ChangeEntry::Clear, kind,
                QString());
}

bool LedgerStore::ClearFinances(int kind) const
{
    return RecordedWrite(connection, history)
        .Delete(StoreTables::Finance, KindOfStore, {kind, Text(storeNo)}, ChangeEntry::Clear, kind,
                QString());
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
