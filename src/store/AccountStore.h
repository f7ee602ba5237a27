#pragma once

#include "Records.h"
#include "StoreConnection.h"

#include <QList>
#include <QString>

class ChangeHistory;
class WriteTransaction;

// The user accounts of one store. A login text is a phone number or a user name; an account is
// the store's row with one phone number and one name (two accounts may share either). With a
// history, every change of the accounts is recorded in it, never a password.
class AccountStore
{
public:
    // The answer to a question about the stored accounts; Failed when the database could not
    // tell, which must never count as "no".
    enum class Answer { Yes, No, Failed };

    AccountStore(const StoreConnection& connection, const QString& storeNo,
                 const ChangeHistory* history = nullptr)
        : connection(connection), storeNo(storeNo), history(history)
    {
    }

    // Saved over the account with the same phone number and name, or added.
    bool Save(const UserRecord& user) const;
    bool Delete(const UserRecord& user) const;
    // Whether an account that answers to `login` has exactly this password.
    Answer CheckPassword(const QString& login, const QString& password) const;
    // Fills `user` from the account whose phone number or name matches the record's. With a
    // password in the record, only an account with that password is taken; without, the last
    // match. False, with the record unchanged, when none was loaded.
    bool Load(UserRecord& user) const;
    // Replaces the store's accounts by `users` in one transaction: when any of them is refused,
    // the accounts stay as they were. One entry records the accounts before and after.
    bool Replace(const QList<UserRecord>& users) const;
    Answer HasAny() const;
    // Removes every row of the store from one of the program's tables (a replace starts with
    // the accounts' table); any other name is refused.
    bool DeleteStoreRows(const QString& tableName) const;

private:
    bool RecordReplace(WriteTransaction& transaction, const QList<QVariantList>& before) const;

    const StoreConnection& connection;
    QString storeNo;
    const ChangeHistory* history;
};
