#pragma once

#include "Records.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>
#include <functional>

class DbManager;
class WriteTransaction;
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

    // Ledger records: a record is identified by (kind, serial, store number). A save never
    // stores a second row for one key, also when several connections save it at once.
    bool SaveProductInfo(const ProductRecord& record);
    bool SaveFinanceInfo(const FinanceRecord& record);
    bool DeleteProductInfo(const ProductRecord& record);
    bool DeleteFinanceInfo(const FinanceRecord& record);
    bool ClearProductInfo(int tabType);
    bool ClearFinanceInfo(int tabType);

    // The answer to a question about the stored accounts; Failed when the database could not
    // tell (LastError() says why), which must never count as "no".
    enum class Answer { Yes, No, Failed };

    // User accounts of the current store. A login text is a phone number or a user name; an
    // account is saved over the one with the same phone number and name, or added.
    bool SaveUserInfo(const UserRecord& user);
    bool DeleteUserInfo(const UserRecord& user);
    // Whether an account that answers to `login` has exactly this password.
    Answer CheckUserPassword(const QString& login, const QString& password);
    // Fills `user` from the account whose phone number or name matches the record's. With a
    // password in the record, only an account with that password is taken; without, the last
    // match. Returns whether an account was loaded (the record is unchanged otherwise, and
    // LastError() says why).
    bool LoadUserInfo(UserRecord& user);
    // Replaces the current store's accounts by `users` in one transaction: when any of them is
    // refused, the accounts stay as they were.
    bool ReplaceUserAccounts(const QList<UserRecord>& users);
    // Whether the current store has any account.
    Answer HasUserAccounts();

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

private:
    DatabaseEngine() = default;
    DbManager* Owner() const;
    QSqlDatabase Connection() const;
    bool Run(QSqlQuery& query, const QString& statement, const QVariantList& values) const;
    // Runs `work` inside one write transaction and commits it. When it fails because the
    // connection was lost, it runs once more on the reopened connection, unless an enclosing
    // transaction was open: its earlier statements went with the old connection.
    bool InWriteTransaction(const std::function<bool(WriteTransaction&)>& work) const;
    struct KeyedRow;
    bool Upsert(const KeyedRow& row) const;
    bool PeriodStatement(const QString& table, const QString& columns, const QString& dateColumn,
                         int timeMode, int kind, const QString& startDate, const QString& queryDate,
                         QString& statement, QVariantList& values) const;

    // Runs a period select and appends its rows, read in record order, to `out`.
    template <class Record>
    bool ReadRecords(const QString& statement, const QVariantList& values, int dateText,
                     QList<Record>& out) const;

    DbManager* manager = nullptr;
    QString storeNo;
};
