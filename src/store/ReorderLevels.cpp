#include "ReorderLevels.h"

#include "DbManager.h"
#include "KeyedRow.h"
#include "NumberText.h"
#include "StoreConnection.h"
#include "WriteTransaction.h"

#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <tuple>

const QString ReorderLevels::Table = QStringLiteral("tb_sm_reorder_info");

namespace
{

const QStringList Columns = {QStringLiteral("reorder_model"), QStringLiteral("reorder_color"),
                             QStringLiteral("reorder_store"), QStringLiteral("reorder_num"),
                             QStringLiteral("store_no")};
const QString Text50 = QStringLiteral("VARCHAR(50)");
const QString KeyWhere =
    QStringLiteral("store_no=? and reorder_model=? and reorder_color=? and reorder_store=?");

QString Reason(const QSqlQuery& query)
{
    const QString text = query.lastError().text().trimmed();
    return text.isEmpty() ? QStringLiteral("数据库未连接") : text;
}

} // namespace

ReorderLevels::ReorderLevels(DbManager& manager, const QString& storeNo)
    : manager(manager), storeNo(storeNo)
{
}

bool ReorderLevels::Fail(const QString& why)
{
    error = why;
    return false;
}

bool ReorderLevels::EnsureTable()
{
    QSqlDatabase db = manager.Database();
    if (!db.isOpen())
        return Fail(QStringLiteral("数据库未连接"));
    if (!db.tables(QSql::Tables).contains(Table)) {
        QSqlQuery create(db);
        const QString statement = manager.Dialect().CreateTableStatement(
            Table, Columns, {Text50, Text50, Text50, Text50, Text50}, false);
        // Another connection may have created it in the meantime.
        if (!create.exec(statement) && !db.tables(QSql::Tables).contains(Table))
            return Fail(QStringLiteral("无法建立库存预警表 %1：%2").arg(Table, Reason(create)));
    }
    QSqlQuery index(db);
    if (!index.exec(manager.Dialect().UniqueIndexStatement(
            QStringLiteral("ux_reorder_info"), Table,
            QStringLiteral("store_no,reorder_model,reorder_color,reorder_store"))))
        return Fail(QStringLiteral("无法建立库存预警表的索引：%1").arg(Reason(index)));
    return true;
}

bool ReorderLevels::Load(QList<ReorderLevel>& out)
{
    if (!EnsureTable())
        return false;
    QSqlQuery select(manager.Database());
    if (!StoreConnection::Execute(
            select,
            QStringLiteral("select reorder_model,reorder_color,reorder_store,reorder_num "
                           "from %1 where store_no=?")
                .arg(Table),
            {StoredValue::Text(storeNo)}))
        return Fail(Reason(select));
    QList<ReorderLevel> levels;
    while (select.next()) {
        ReorderLevel level{select.value(0).toString(), select.value(1).toString(),
                           select.value(2).toString(),
                           NumberText::Read(select.value(3).toString())};
        if (level.level > 0)
            levels << level;
    }
    std::sort(levels.begin(), levels.end(), [](const ReorderLevel& a, const ReorderLevel& b) {
        return std::tie(a.model, a.colour, a.place) < std::tie(b.model, b.colour, b.place);
    });
    out = levels;
    return true;
}

bool ReorderLevels::Save(const QList<ReorderLevel>& levels)
{
    if (!EnsureTable())
        return false;
    if (SaveOnce(levels))
        return true;
    // A connection lost under the save is opened again and the save repeated once: it goes by
    // key, and nothing of the first try was committed.
    const QString first = error;
    if (manager.ReopenIfLost() != DbManager::Reconnect::Reopened)
        return Fail(first);
    return SaveOnce(levels);
}

bool ReorderLevels::SaveOnce(const QList<ReorderLevel>& levels)
{
    WriteTransaction transaction(manager.Database());
    if (!transaction.IsOpen())
        return Fail(transaction.ErrorText());
    QStringList keys;
    for (const ReorderLevel& l : levels)
        keys << QStringList{Table, storeNo, l.model, l.colour, l.place}.join(QLatin1Char('\n'));
    if (!transaction.LockKeys(keys))
        return Fail(transaction.ErrorText());
    for (const ReorderLevel& level : levels) {
        if (!SaveOne(level))
            return false;
    }
    return transaction.Commit() || Fail(transaction.ErrorText());
}

bool ReorderLevels::SaveOne(const ReorderLevel& level)
{
    const QSqlDatabase db = manager.Database();
    const QVariantList key = {StoredValue::Text(storeNo), StoredValue::Text(level.model),
                              StoredValue::Text(level.colour), StoredValue::Text(level.place)};
    QSqlQuery query(db);
    if (level.level <= 0) {
        return StoreConnection::Execute(
                   query, QStringLiteral("delete from %1 where %2").arg(Table, KeyWhere), key) ||
               Fail(Reason(query));
    }
    if (!StoreConnection::Execute(
            query, QStringLiteral("select count(*) from %1 where %2").arg(Table, KeyWhere), key))
        return Fail(Reason(query));
    const bool stored = query.next() && query.value(0).toInt() > 0;
    const QString number = NumberText::Write(level.level);
    QSqlQuery saving(db);
    const bool saved =
        stored ? StoreConnection::Execute(
                     saving,
                     QStringLiteral("update %1 set reorder_num=? where %2").arg(Table, KeyWhere),
                     QVariantList{number} + key)
               : StoreConnection::Execute(
                     saving,
                     QStringLiteral("insert into %1(%2) values(?,?,?,?,?)")
                         .arg(Table, Columns.join(QLatin1Char(','))),
                     {StoredValue::Text(level.model), StoredValue::Text(level.colour),
                      StoredValue::Text(level.place), number, StoredValue::Text(storeNo)});
    return saved || Fail(Reason(saving));
}
