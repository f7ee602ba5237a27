#pragma once

#include "AccountStore.h"
#include "BackupWriter.h"
#include "BatchSaver.h"
#include "ChangeHistory.h"
#include "Records.h"
#include "ScriptRestorer.h"
#include "StoreConnection.h"

#include <QList>
#include <QString>

class DbManager;

// Every record operation of the program. Each works on the rows of the current store number only,
// binds every value as a parameter and takes table names only from the program's own list.
// Failures return false (or an empty result) and show nothing; LastError() tells why.
// The engine only hands over: the work is done by the store's classes for each concern
// (LedgerStore, RecordReader, BatchSaver, AccountStore, ListStore, BackupWriter, ScriptRestorer)
// on the calling thread's connection (StoreConnection).
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

    // Who is signed in: every change from now on is recorded in the store's history with this
    // name and role (ChangeHistory). Set once after sign-in, before any job thread starts.
    void SetActor(const ChangeActor& actor);
    ChangeActor Actor() const;
    // The current store's history, in sequence order.
    bool LoadChangeHistory(QList<ChangeEntry>& out);
    // A sign-in, or a refused one, under the login text typed; never the password.
    bool RecordSignIn(const QString& login, int role, bool accepted);
    // Puts back the ledger records a delete or a clear took away, recorded itself. Refused,
    // with nothing put back, when a record with one of their keys is stored again.
    bool RecoverDeleted(const ChangeEntry& entry);
    // False when the database is connected but the history cannot be written there: a change
    // is then not begun, since its entry could not be. Without a connection true: the change
    // itself fails and says so.
    bool HistoryReady();
    // One entry for an import into a ledger table: the file, the counts and the values the
    // updated records had before.
    bool RecordImport(const QString& file, const QString& table, int kind, const QString& counts,
                      const QList<QVariantList>& updatedRows);

    // Ledger records: a record is identified by (kind, serial, store number). A save never
    // stores a second row for one key, also when several connections save it at once.
    bool SaveProductInfo(const ProductRecord& record);
    bool SaveFinanceInfo(const FinanceRecord& record);
    bool DeleteProductInfo(const ProductRecord& record);
    bool DeleteFinanceInfo(const FinanceRecord& record);
    bool ClearProductInfo(int tabType);
    bool ClearFinanceInfo(int tabType);
    // How many records of a kind the current store holds, as a clear would delete them; -1 when
    // the database cannot tell (LastError() says why).
    qint64 CountProductInfo(int tabType);
    qint64 CountFinanceInfo(int tabType);

    // The answer to a question about the stored accounts; Failed when the database could not
    // tell (LastError() says why), which must never count as "no".
    using Answer = AccountStore::Answer;

    // How one record of a batch save ended.
    using BatchResult = ::BatchResult;
    // Records per transaction of a batch save.
    static constexpr int BatchRows = BatchSaver::RowsPerTransaction;
    // Stores many records, BatchRows to a transaction, new ones inserted and stored ones updated
    // several to a statement: a record whose (kind, serial) the current store has already is
    // updated, any other inserted (so a serial given twice updates the first). A record the
    // database refuses is left out and the others are stored without it; each record is stored
    // whole or not at all. When the connection is lost and cannot be opened again, the save
    // stops at once: that transaction's records and all after it are NotSaved. One result per
    // record, in order (BatchSaver).
    // With `updatedRows`, the stored values of the records it updated, as they were before, are
    // appended to it (for the import's history entry).
    QList<BatchResult> SaveProductBatch(const QList<ProductRecord>& records,
                                        QList<QVariantList>* updatedRows = nullptr);
    QList<BatchResult> SaveFinanceBatch(const QList<FinanceRecord>& records,
                                        QList<QVariantList>* updatedRows = nullptr);

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

    // The current store's rows as a backup script at `path` (BackupWriter), on the calling
    // thread's connection; `stop` ends it without a file.
    BackupResult BackupToScript(const QString& path, const ScriptProgress& progress = {},
                                const ScriptStop& stop = {});
    // Replaces the current store's rows by those of a backup script (ScriptRestorer); `stop`
    // ends it with the rows as they were.
    RestoreResult RestoreFromScript(const QString& path, const ScriptProgress& progress = {},
                                    const ScriptStop& stop = {});

private:
    DatabaseEngine() = default;

    ChangeHistory History() const { return ChangeHistory(connection, storeNo, actor); }

    StoreConnection connection;
    QString storeNo;
    ChangeActor actor;
};
