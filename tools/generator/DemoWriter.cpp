#include "DemoWriter.h"

#include "DatabaseEngine.h"
#include "DbManager.h"
#include "StoreTables.h"
#include "WriteTransaction.h"

bool DemoWriter::Write(const StoreDemo& store)
{
    DatabaseEngine* engine = DatabaseEngine::Instance();
    const QString previous = engine->StoreNo();
    engine->SetStoreNo(store.storeNo);
    const bool written = WriteLists(store) && WriteRows(StoreTables::Product, store.goods) &&
                         WriteRows(StoreTables::Finance, store.money);
    engine->SetStoreNo(previous);
    return written;
}

bool DemoWriter::WriteLists(const StoreDemo& store)
{
    DatabaseEngine* engine = DatabaseEngine::Instance();
    for (const ListRecord& list : store.catalog.MasterLists()) {
        if (!engine->SaveListInfo(1, list)) {
            error = QStringLiteral("master-data list %1: %2")
                        .arg(list.info_type)
                        .arg(engine->LastError());
            return false;
        }
    }
    for (const ListRecord& list : store.catalog.PersonLists()) {
        if (!engine->SaveListInfo(2, list)) {
            error =
                QStringLiteral("person list %1: %2").arg(list.info_type).arg(engine->LastError());
            return false;
        }
    }
    for (const UserRecord& user : store.catalog.accounts) {
        if (!engine->SaveUserInfo(user)) {
            error = QStringLiteral("account %1: %2").arg(user.user_name, engine->LastError());
            return false;
        }
    }
    return true;
}

namespace
{

bool Save(DatabaseEngine* engine, const ProductRecord& r)
{
    return engine->SaveProductInfo(r);
}

bool Save(DatabaseEngine* engine, const FinanceRecord& r)
{
    return engine->SaveFinanceInfo(r);
}

} // namespace

// Rows go through the data store's own save (an existing row is saved over, so a second run with
// the same seed adds nothing); one transaction per batch, since a commit per row would cost a
// disk sync per row.
template <typename Row> bool DemoWriter::WriteRows(const QString& table, const QList<Row>& rows)
{
    DatabaseEngine* engine = DatabaseEngine::Instance();
    for (qsizetype from = 0; from < rows.size(); from += batchSize) {
        WriteTransaction batch(DbManager::Instance()->Database());
        const qsizetype to = qMin(rows.size(), from + batchSize);
        for (qsizetype i = from; i < to; ++i) {
            if (!Save(engine, rows.at(i))) {
                error = QStringLiteral("%1 row %2: %3").arg(table).arg(i).arg(engine->LastError());
                return false;
            }
        }
        if (!batch.Commit()) {
            error = batch.ErrorText();
            return false;
        }
    }
    return true;
}
