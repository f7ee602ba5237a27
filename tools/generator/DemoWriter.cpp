#include "DemoWriter.h"

#include "BulkInserter.h"
#include "DatabaseEngine.h"
#include "DbManager.h"
#include "Schema.h"
#include "StoreTables.h"
#include "TableStatistics.h"

#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

bool DemoWriter::Write(const StoreDemo& store)
{
    DatabaseEngine* engine = DatabaseEngine::Instance();
    const QString previous = engine->StoreNo();
    engine->SetStoreNo(store.storeNo);
    const bool written = WriteLists(store) && WriteRows(StoreTables::Product, store.goods) &&
                         WriteRows(StoreTables::Finance, store.money);
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

namespace
{

// A row's values in its table's column order, as the data store saves them: texts never NULL,
// an empty goods date NULL.
QVariant Stored(const QString& text)
{
    return text.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(text);
}

QVariantList Values(const ProductRecord& r, const QString& storeNo)
{
    QVariantList values{r.tab_type};
    for (int c = 0; c < ProductRecord::TextCount; ++c)
        values << (c == 7 && r.Text(c).isEmpty() ? QVariant(QMetaType::fromType<QString>())
                                                 : Stored(r.Text(c)));
    return values << storeNo;
}

QVariantList Values(const FinanceRecord& r, const QString& storeNo)
{
    QVariantList values{r.tab_type};
    for (int c = 0; c < FinanceRecord::TextCount; ++c)
        values << Stored(r.Text(c));
    return values << storeNo;
}

QString Key(int kind, const QString& serial)
{
    return QString::number(kind) + QLatin1Char('|') + serial;
}

const TableSchema& SchemaOf(const QString& table)
{
    for (const TableSchema& schema : Schema::Tables()) {
        if (schema.name == table)
            return schema;
    }
    Q_UNREACHABLE();
}

} // namespace

// The (kind, serial) keys of the store's rows already in a ledger table.
QSet<QString> DemoWriter::StoredKeys(const QString& table, const QString& storeNo)
{
    QSet<QString> keys;
    QSqlQuery query(DbManager::Instance()->Database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("select tab_type,%1 from %2 where store_no=?")
                      .arg(SchemaOf(table).columns.at(1), table));
    query.addBindValue(storeNo);
    if (!query.exec()) {
        error = query.lastError().text();
        return keys;
    }
    while (query.next())
        keys.insert(Key(query.value(0).toInt(), query.value(1).toString()));
    return keys;
}

// Rows go in bulk, in one transaction through one prepared multi-row insert, since a statement
// and a commit per row are what make writing slow. A row already stored under its kind and serial
// is left as it is, so a second run with the same seed adds nothing.
template <typename Row> bool DemoWriter::WriteRows(const QString& table, const QList<Row>& rows)
{
    const QString storeNo = DatabaseEngine::Instance()->StoreNo();
    const QSet<QString> stored = StoredKeys(table, storeNo);
    if (!error.isEmpty())
        return false;
    const TableSchema& schema = SchemaOf(table);
    QList<int> columns;
    for (int c = 0; c < schema.columns.size(); ++c)
        columns << c;
    QSqlDatabase db = DbManager::Instance()->Database();
    if (!db.transaction()) {
        error = db.lastError().text();
        return false;
    }
    qint64 inserted = 0;
    {
        BulkInserter inserter(db);
        for (const Row& row : rows) {
            if (stored.contains(Key(row.tab_type, row.Text(0))))
                continue;
            if (!inserter.Add(schema, columns, Values(row, storeNo))) {
                error = QStringLiteral("%1: %2").arg(table, inserter.Error());
                break;
            }
        }
        if (error.isEmpty() && !inserter.Flush())
            error = QStringLiteral("%1: %2").arg(table, inserter.Error());
        if (!error.isEmpty()) {
            db.rollback();
            return false;
        }
        inserted = inserter.Inserted();
    }
    if (!db.commit()) {
        error = db.lastError().text();
        db.rollback();
        return false;
    }
    TableStatistics::NoteInserted(db, table, inserted);
    return true;
}
