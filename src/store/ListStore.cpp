#include "ListStore.h"

#include "KeyedRow.h"
#include "RecordedWrite.h"
#include "StoreTables.h"

#include <QSqlQuery>

using StoredValue::Text;

QString ListStore::TableName(int table)
{
    const QString name = StoreTables::ListTable(table);
    if (name.isEmpty())
        StoreConnection::Fail(QStringLiteral("没有第%1类列表").arg(table));
    return name;
}

bool ListStore::Save(int table, const ListRecord& list) const
{
    const QString name = TableName(table);
    if (name.isEmpty())
        return false;
    const KeyedRow row{
        name,
        {QStringLiteral("info_type"), QStringLiteral("info_list"), QStringLiteral("store_no")},
        {list.info_type, Text(list.info_list), Text(storeNo)},
        {QStringLiteral("info_type"), QStringLiteral("store_no")}};
    return RecordedWrite(connection, history)
        .Save(row, list.info_type, QString(), ChangeEntry::ListChange, ChangeEntry::ListChange);
}

bool ListStore::Delete(int table, int infoType) const
{
    const QString name = TableName(table);
    if (name.isEmpty())
        return false;
    return RecordedWrite(connection, history)
        .Delete(name, QStringLiteral("info_type=? and store_no=?"), {infoType, Text(storeNo)},
                ChangeEntry::ListChange, infoType, QString());
}

bool ListStore::Load(int table, ListRecord& list) const
{
    const QString name = TableName(table);
    if (name.isEmpty())
        return false;
    QSqlQuery query(connection.Database());
    if (!connection.Run(
            query,
            QStringLiteral("select info_type, info_list from %1 where info_type=? and store_no=?")
                .arg(name),
            {list.info_type, Text(storeNo)}))
        return false;
    while (query.next()) {
        list.info_type = query.value(0).toInt();
        list.info_list = query.value(1).toString();
    }
    return true;
}
