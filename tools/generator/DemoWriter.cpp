#include "DemoWriter.h"

#include "DatabaseEngine.h"
#include "DbManager.h"

#include <QSqlDatabase>
#include <QSqlError>

bool DemoWriter::Write(const StoreDemo& store)
{
    DatabaseEngine* engine = DatabaseEngine::Instance();
    const QString previous = engine->StoreNo();
    engine->SetStoreNo(store.storeNo);
    const bool written =
        WriteLists(store) &&
        WriteRows(store.goods,
                  [engine](const ProductRecord& r) { return engine->SaveProductInfo(r); }) &&
        WriteRows(store.money,
                  [engine](const FinanceRecord& r) { return engine->SaveFinanceInfo(r); });
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

// One transaction per batch: a commit per row would cost a disk sync per row.
template <typename Row, typename Save> bool DemoWriter::WriteRows(const QList<Row>& rows, Save save)
{
    QSqlDatabase db = DbManager::Instance()->Database();
    for (qsizetype from = 0; from < rows.size(); from += batchSize) {
        const bool inTransaction = db.transaction();
        const qsizetype to = qMin(rows.size(), from + batchSize);
        for (qsizetype i = from; i < to; ++i) {
            if (!save(rows.at(i))) {
                error = QStringLiteral("row %1 (%2): %3")
                            .arg(i)
                            .arg(rows.at(i).tab_type)
                            .arg(DatabaseEngine::Instance()->LastError());
                if (inTransaction)
                    db.rollback();
                return false;
            }
        }
        if (inTransaction && !db.commit()) {
            error = db.lastError().text();
            return false;
        }
    }
    return true;
}
