#include "DatabaseEngine.h"

#include "LedgerStore.h"
#include "ListStore.h"
#include "RecordReader.h"

DatabaseEngine* DatabaseEngine::Instance()
{
    static DatabaseEngine* instance = new DatabaseEngine;
    return instance;
}

void DatabaseEngine::SetDbManager(DbManager* m)
{
    connection = StoreConnection(m);
}

DbManager* DatabaseEngine::Manager() const
{
    return connection.Manager();
}

void DatabaseEngine::SetStoreNo(const QString& no)
{
    storeNo = no;
}

QString DatabaseEngine::StoreNo() const
{
    return storeNo;
}

QString DatabaseEngine::LastError() const
{
    return StoreConnection::LastError();
}

bool DatabaseEngine::SaveProductInfo(const ProductRecord& r)
{
    const ChangeHistory history = History();
    return LedgerStore(connection, storeNo, &history).SaveProduct(r);
}

bool DatabaseEngine::SaveFinanceInfo(const FinanceRecord& r)
{
    const ChangeHistory history = History();
    return LedgerStore(connection, storeNo, &history).SaveFinance(r);
}

bool DatabaseEngine::DeleteProductInfo(const ProductRecord& r)
{
    const ChangeHistory history = History();
    return LedgerStore(connection, storeNo, &history).DeleteProduct(r);
}

bool DatabaseEngine::DeleteFinanceInfo(const FinanceRecord& r)
{
    const ChangeHistory history = History();
    return LedgerStore(connection, storeNo, &history).DeleteFinance(r);
}

bool DatabaseEngine::ClearProductInfo(int tabType)
{
    const ChangeHistory history = History();
    return LedgerStore(connection, storeNo, &history).ClearProducts(tabType);
}

bool DatabaseEngine::ClearFinanceInfo(int tabType)
{
    const ChangeHistory history = History();
    return LedgerStore(connection, storeNo, &history).ClearFinances(tabType);
}

qint64 DatabaseEngine::CountProductInfo(int tabType)
{
    return LedgerStore(connection, storeNo).CountProducts(tabType);
}

qint64 DatabaseEngine::CountFinanceInfo(int tabType)
{
    return LedgerStore(connection, storeNo).CountFinances(tabType);
}

QList<DatabaseEngine::BatchResult>
DatabaseEngine::SaveProductBatch(const QList<ProductRecord>& records,
                                 QList<QVariantList>* updatedRows)
{
    BatchSaver saver(connection, storeNo);
    saver.KeepUpdatedRows(updatedRows);
    return saver.SaveProducts(records);
}

QList<DatabaseEngine::BatchResult>
DatabaseEngine::SaveFinanceBatch(const QList<FinanceRecord>& records,
                                 QList<QVariantList>* updatedRows)
{
    BatchSaver saver(connection, storeNo);
    saver.KeepUpdatedRows(updatedRows);
    return saver.SaveFinances(records);
}

bool DatabaseEngine::SaveUserInfo(const UserRecord& user)
{
    const ChangeHistory history = History();
    return AccountStore(connection, storeNo, &history).Save(user);
}

bool DatabaseEngine::DeleteUserInfo(const UserRecord& user)
{
    const ChangeHistory history = History();
    return AccountStore(connection, storeNo, &history).Delete(user);
}

DatabaseEngine::Answer DatabaseEngine::CheckUserPassword(const QString& login,
                                                         const QString& password)
{
    return AccountStore(connection, storeNo).CheckPassword(login, password);
}

bool DatabaseEngine::LoadUserInfo(UserRecord& user)
{
    return AccountStore(connection, storeNo).Load(user);
}

bool DatabaseEngine::ReplaceUserAccounts(const QList<UserRecord>& users)
{
    const ChangeHistory history = History();
    return AccountStore(connection, storeNo, &history).Replace(users);
}

DatabaseEngine::Answer DatabaseEngine::HasUserAccounts()
{
    return AccountStore(connection, storeNo).HasAny();
}

bool DatabaseEngine::DeleteStoreRows(const QString& tableName)
{
    const ChangeHistory history = History();
    return AccountStore(connection, storeNo, &history).DeleteStoreRows(tableName);
}

bool DatabaseEngine::SaveListInfo(int table, const ListRecord& list)
{
    const ChangeHistory history = History();
    return ListStore(connection, storeNo, &history).Save(table, list);
}

bool DatabaseEngine::DeleteListInfo(int table, int infoType)
{
    const ChangeHistory history = History();
    return ListStore(connection, storeNo, &history).Delete(table, infoType);
}

bool DatabaseEngine::LoadListInfo(int table, ListRecord& list)
{
    return ListStore(connection, storeNo).Load(table, list);
}

bool DatabaseEngine::SelectProductRecords(int timeMode, int kind, const QString& startDate,
                                          const QString& queryDate, QList<ProductRecord>& out)
{
    return RecordReader(connection, storeNo).Products(timeMode, kind, startDate, queryDate, out);
}

bool DatabaseEngine::SelectFinanceRecords(int timeMode, int kind, const QString& startDate,
                                          const QString& queryDate, QList<FinanceRecord>& out)
{
    return RecordReader(connection, storeNo).Finances(timeMode, kind, startDate, queryDate, out);
}
