#pragma once

#include "BackupWriter.h"
#include "Records.h"
#include "ScriptRestorer.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

class DbManager;
class QSqlQuery;

// Every record operation of the program. Each works on the rows of the current store number only,
// binds every value as a parameter and takes table names only from the program's own list.
// Failures return false (or an empty result) and show nothing; LastError() tells why.
class DatabaseEngine
{
public:
    static DatabaseEngine* Instance();

    void SetDbManager(DbManager* manager);
    DbManager* Manager() const;
    void SetStoreNo(const QString& storeNo);
    QString StoreNo() const;

    // Why the last failed statement of the calling thread failed.
    QString LastError() const;

    // Ledger records: a record is identified by (kind, serial, store number).
    bool SaveProductInfo(const ProductRecord& record);
    bool SaveFinanceInfo(const FinanceRecord& record);
    bool DeleteProductInfo(const ProductRecord& record);
    bool DeleteFinanceInfo(const FinanceRecord& record);
    bool ClearProductInfo(int tabType);
    bool ClearFinanceInfo(int tabType);

    // User accounts of the current store. A login text is a phone number or a user name; an
    // account is saved over the one with the same phone number and name, or added.
    bool SaveUserInfo(const UserRecord& user);
    bool DeleteUserInfo(const UserRecord& user);
    bool CheckUserPassword(const QString& login, const QString& password);
    // Fills `user` from the account whose phone number or name matches the record's. With a
    // password in the record, only an account with that password is taken; without, the last
    // match. Returns whether an account was loaded (the record is unchanged otherwise).
    bool LoadUserInfo(UserRecord& user);
    // Replaces the current store's accounts by `users` in one transaction: when any of them is
    // refused, the accounts stay as they were.
    bool ReplaceUserAccounts(const QList<UserRecord>& users);
    // Whether the current store has any account (false also when the database cannot tell).
    bool HasUserAccounts();

    // Packed lists; `table` 1 = master-data lists, 2 = person lists, anything else fails.
    bool SaveListInfo(int table, const ListRecord& list);
    bool DeleteListInfo(int table, int infoType);
    // True when the select ran, also when no list of that kind is stored (record unchanged).
    bool LoadListInfo(int table, ListRecord& list);
    // Removes every row of the current store from one of the program's tables.
    bool DeleteStoreRows(const QString& tableName);

    // Appends the records of a period (time modes of Period; kind -1 = every kind) to `out`.
    bool SelectProductRecords(int timeMode, int kind, const QString& startDate,
                              const QString& queryDate, QList<ProductRecord>& out);
    bool SelectFinanceRecords(int timeMode, int kind, const QString& startDate,
                              const QString& queryDate, QList<FinanceRecord>& out);

    // The current store's rows as a backup script at `path` (BackupWriter), on the calling
    // thread's connection.
    BackupResult BackupToScript(const QString& path, const ScriptProgress& progress = {});
    // Replaces the current store's rows by those of a backup script (ScriptRestorer).
    RestoreResult RestoreFromScript(const QString& path, const ScriptProgress& progress = {});

private:
    DatabaseEngine() = default;
    QSqlDatabase Connection() const;
    bool Run(QSqlQuery& query, const QString& statement, const QVariantList& values) const;
    bool Upsert(const QString& update, const QVariantList& updateValues, const QString& insert,
                const QVariantList& insertValues) const;
    bool PeriodStatement(const QString& table, const QString& dateColumn, int timeMode, int kind,
                         const QString& startDate, const QString& queryDate, QString& statement,
                         QVariantList& values) const;

    DbManager* manager = nullptr;
    QString storeNo;
};
