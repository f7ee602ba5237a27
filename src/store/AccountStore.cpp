#include "AccountStore.h"

#include "ChangeHistory.h"
#include "KeyedRow.h"
#include "RecordedWrite.h"
#include "StoreTables.h"

#include <QSqlQuery>

using StoredValue::Text;

namespace
{

KeyedRow AccountRow(const UserRecord& u, const QString& storeNo)
{
    return {
        StoreTables::User,
        {QStringLiteral("user_phoneno"), QStringLiteral("user_name"),
         QStringLiteral("user_password"), QStringLiteral("user_type"),
         QStringLiteral("user_online"), QStringLiteral("user_ip"), QStringLiteral("user_remark"),
         QStringLiteral("store_no")},
        {Text(u.user_phoneno), Text(u.user_name), Text(u.user_password), u.user_type, u.user_online,
         Text(u.user_ip), Text(u.user_remark), Text(storeNo)},
        {QStringLiteral("user_phoneno"), QStringLiteral("user_name"), QStringLiteral("store_no")}};
}

// The names of the accounts whose password differs between two lists of account rows.
QStringList PasswordsChanged(const TableSchema& schema, const QList<QVariantList>& before,
                             const QList<QVariantList>& after)
{
    const qsizetype phone = schema.columns.indexOf(QStringLiteral("user_phoneno"));
    const qsizetype name = schema.columns.indexOf(QStringLiteral("user_name"));
    const qsizetype password = schema.columns.indexOf(QStringLiteral("user_password"));
    QStringList names;
    for (const QVariantList& now : after) {
        for (const QVariantList& then : before) {
            if (then.at(phone).toString() == now.at(phone).toString() &&
                then.at(name).toString() == now.at(name).toString() &&
                then.at(password).toString() != now.at(password).toString())
                names << now.at(name).toString();
        }
    }
    return names;
}

} // namespace

bool AccountStore::Save(const UserRecord& u) const
{
    return RecordedWrite(connection, history)
        .Save(AccountRow(u, storeNo), -1, u.user_name, ChangeEntry::UserChange,
              ChangeEntry::UserChange);
}

bool AccountStore::Delete(const UserRecord& u) const
{
    return RecordedWrite(connection, history)
        .Delete(StoreTables::User, QStringLiteral("user_phoneno=? and user_name=? and store_no=?"),
                {Text(u.user_phoneno), Text(u.user_name), Text(storeNo)}, ChangeEntry::UserChange,
                -1, u.user_name);
}

AccountStore::Answer AccountStore::CheckPassword(const QString& login,
                                                 const QString& password) const
{
    QSqlQuery query(connection.Database());
    if (!connection.Run(query,
                        QStringLiteral("select user_password from tb_sm_user where store_no=? and "
                                       "(user_phoneno=? or user_name=?)"),
                        {Text(storeNo), Text(login), Text(login)}))
        return Answer::Failed;
    while (query.next()) {
        if (query.value(0).toString() == password)
            return Answer::Yes;
    }
    return Answer::No;
}

bool AccountStore::Load(UserRecord& user) const
{
    QSqlQuery query(connection.Database());
    if (!connection.Run(
            query,
            QStringLiteral("select user_type, user_online, user_phoneno, user_name, "
                           "user_password, user_ip, user_remark from tb_sm_user where "
                           "store_no=? and (user_phoneno=? or user_name=?) order by id"),
            {Text(storeNo), Text(user.user_phoneno), Text(user.user_name)}))
        return false;
    const QString wanted = user.user_password;
    bool loaded = false;
    while (query.next()) {
        if (!wanted.isEmpty() && query.value(4).toString() != wanted)
            continue;
        user.user_type = query.value(0).toInt();
        user.user_online = query.value(1).toInt();
        user.user_phoneno = query.value(2).toString();
        user.user_name = query.value(3).toString();
        user.user_password = query.value(4).toString();
        user.user_ip = query.value(5).toString();
        user.user_remark = query.value(6).toString();
        loaded = true;
        if (!wanted.isEmpty())
            break;
    }
    return loaded || StoreConnection::Fail(QStringLiteral("没有该账户"));
}

bool AccountStore::Replace(const QList<UserRecord>& users) const
{
    if (history && !history->EnsureTable())
        return false;
    return connection.InWriteTransaction([this, &users](WriteTransaction& transaction) {
        QList<QVariantList> before;
        if (history &&
            !ChangeHistory::ReadRows(connection, Schema::Table(StoreTables::User),
                                     QStringLiteral("store_no=?"), {Text(storeNo)}, before))
            return false;
        const AccountStore plain(connection, storeNo);
        bool ok = plain.DeleteStoreRows(StoreTables::User);
        for (qsizetype i = 0; ok && i < users.size(); ++i)
            ok = plain.Save(users.at(i));
        return ok && (!history || RecordReplace(transaction, before));
    });
}

// One entry for the whole list of accounts; none when nothing changed.
bool AccountStore::RecordReplace(WriteTransaction& transaction,
                                 const QList<QVariantList>& before) const
{
    const TableSchema& schema = Schema::Table(StoreTables::User);
    QList<QVariantList> after;
    if (!ChangeHistory::ReadRows(connection, schema, QStringLiteral("store_no=?"), {Text(storeNo)},
                                 after))
        return false;
    const QStringList omit = {QStringLiteral("user_password")};
    ChangeEntry entry;
    entry.action = ChangeEntry::UserChange;
    entry.page = StoreTables::User;
    entry.before = ChangeRows::Encode(schema.columns, before, omit);
    entry.after = ChangeRows::Encode(schema.columns, after, omit);
    const QStringList changed = PasswordsChanged(schema, before, after);
    if (!changed.isEmpty())
        entry.note = QStringLiteral("密码已修改：%1").arg(changed.join(QStringLiteral("、")));
    else if (entry.before == entry.after)
        return true;
    return history->Append(transaction, entry);
}

AccountStore::Answer AccountStore::HasAny() const
{
    const qint64 accounts = connection.Count(
        QStringLiteral("select count(*) from tb_sm_user where store_no=?"), {Text(storeNo)});
    if (accounts < 0)
        return Answer::Failed;
    return accounts > 0 ? Answer::Yes : Answer::No;
}

bool AccountStore::DeleteStoreRows(const QString& tableName) const
{
    if (!StoreTables::IsKnown(tableName))
        return StoreConnection::Fail(QStringLiteral("没有数据表 %1").arg(tableName));
    const QString action =
        tableName == StoreTables::User ? ChangeEntry::UserChange
        : StoreTables::ListTable(1) == tableName || StoreTables::ListTable(2) == tableName
            ? ChangeEntry::ListChange
            : ChangeEntry::Clear;
    return RecordedWrite(connection, history)
        .Delete(tableName, QStringLiteral("store_no=?"), {Text(storeNo)}, action, -1, QString());
}
