#include "AccountStore.h"

#include "KeyedRow.h"
#include "StoreTables.h"

#include <QSqlQuery>

using StoredValue::Text;

bool AccountStore::Save(const UserRecord& u) const
{
    const KeyedRow row{
        StoreTables::User,
        {QStringLiteral("user_phoneno"), QStringLiteral("user_name"),
         QStringLiteral("user_password"), QStringLiteral("user_type"),
         QStringLiteral("user_online"), QStringLiteral("user_ip"), QStringLiteral("user_remark"),
         QStringLiteral("store_no")},
        {Text(u.user_phoneno), Text(u.user_name), Text(u.user_password), u.user_type, u.user_online,
         Text(u.user_ip), Text(u.user_remark), Text(storeNo)},
        {QStringLiteral("user_phoneno"), QStringLiteral("user_name"), QStringLiteral("store_no")}};
    return row.Save(connection);
}

bool AccountStore::Delete(const UserRecord& u) const
{
    QSqlQuery query(connection.Database());
    return connection.Run(query,
                          QStringLiteral("delete from tb_sm_user where user_phoneno=? and "
                                         "user_name=? and store_no=?"),
                          {Text(u.user_phoneno), Text(u.user_name), Text(storeNo)});
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
    return connection.InWriteTransaction([this, &users](WriteTransaction&) {
        bool ok = DeleteStoreRows(StoreTables::User);
        for (qsizetype i = 0; ok && i < users.size(); ++i)
            ok = Save(users.at(i));
        return ok;
    });
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
    QSqlQuery query(connection.Database());
    return connection.Run(query, QStringLiteral("delete from %1 where store_no=?").arg(tableName),
                          {Text(storeNo)});
}
