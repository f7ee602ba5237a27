#include "DatabaseEngine.h"

#include "DbManager.h"
#include "Period.h"
#include "SqliteHandle.h"
#include "StoreTables.h"
#include "TextPool.h"
#include "WriteTransaction.h"

#include <QHash>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <array>
#include <sqlite3.h>
#include <utility>

namespace
{

// The name every writer of one stored row locks: its table and key values.
QString KeyLockName(const QString& table, const QVariantList& keyValues)
{
    QStringList parts = {table};
    for (const QVariant& v : keyValues)
        parts << v.toString();
    return parts.join(QLatin1Char('\n'));
}

thread_local QString lastError;

// Empty texts are stored as empty texts, never as NULL.
QVariant Text(const QString& text)
{
    return text.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(text);
}

// An empty date is stored as NULL: servers with a real date column refuse an empty text.
QVariant DateText(const QString& text)
{
    return text.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(text);
}

QVariantList ProductTexts(const ProductRecord& r, int from)
{
    QVariantList values;
    for (int c = from; c < ProductRecord::TextCount; ++c)
        values << (c == 7 ? DateText(r.Text(c)) : Text(r.Text(c)));
    return values;
}

QVariantList FinanceTexts(const FinanceRecord& r, int from)
{
    QVariantList values;
    for (int c = from; c < FinanceRecord::TextCount; ++c)
        values << Text(r.Text(c));
    return values;
}

bool Execute(QSqlQuery& query, const QString& statement, const QVariantList& values)
{
    query.setForwardOnly(true);
    if (!query.prepare(statement))
        return false;
    for (const QVariant& v : values)
        query.addBindValue(v);
    return query.exec();
}

constexpr std::array<const char*, 20> ProductColumns = {
    "tab_type",       "product_serial",   "product_class",  "product_name",   "product_model",
    "product_color",  "product_code",     "product_size",   "product_time",   "product_store",
    "product_num",    "product_price",    "product_total",  "product_pay",    "product_debt",
    "product_supply", "product_purchase", "product_oddNum", "product_record", "prodcut_remark"};

// Record text positions of the date columns (product_time, ie_time).
constexpr int PageDateColumnGoods = 7;
constexpr int PageDateColumnMoney = 3;

constexpr std::array<const char*, 10> FinanceColumns = {
    "tab_type",  "ie_serial", "ie_item", "ie_sum",    "ie_time",
    "ie_client", "ie_sale",   "ie_cert", "ie_record", "ie_remark"};

// The select list of a record type: the kind, then the record's texts in their order.
template <size_t N> QString SelectList(const std::array<const char*, N>& columns)
{
    QStringList names;
    for (const char* column : columns)
        names << QLatin1String(column);
    return names.join(QLatin1Char(','));
}

// Reads every row of a select in record order straight into records appended to `out`; the date
// column may come as a date from servers with a real date column.
template <class Record> void ReadQueryRecords(QSqlQuery& query, int dateText, QList<Record>& out)
{
    TextPool pool(Record::TextCount);
    while (query.next()) {
        Record& r = out.emplaceBack();
        r.tab_type = query.value(0).toInt();
        for (int c = 0; c < Record::TextCount; ++c) {
            const QVariant v = query.value(c + 1);
            r.Text(c) = c == dateText && v.typeId() == QMetaType::QDate
                            ? v.toDate().toString(QStringLiteral("yyyy-MM-dd"))
                            : pool.Shared(c, v.toString());
        }
    }
}

// A select on SQLite read through the library itself: each value is taken once, as the UTF-8
// text SQLite holds, straight into the record, without the driver's per-row copies. On failure
// `out` keeps what it held and `error` says why.
template <class Record>
bool ReadSqliteRecords(sqlite3* handle, const QString& statement, const QVariantList& values,
                       QList<Record>& out, QString& error)
{
    sqlite3_stmt* select = nullptr;
    const QByteArray sql = statement.toUtf8();
    if (sqlite3_prepare_v2(handle, sql.constData(), int(sql.size()), &select, nullptr) !=
        SQLITE_OK) {
        error = QString::fromUtf8(sqlite3_errmsg(handle));
        return false;
    }
    for (int i = 0; i < values.size(); ++i) {
        const QVariant& v = values.at(i);
        if (v.typeId() == QMetaType::Int) {
            sqlite3_bind_int(select, i + 1, v.toInt());
        } else {
            const QByteArray text = v.toString().toUtf8();
            sqlite3_bind_text(select, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
    }
    const qsizetype held = out.size();
    TextPool pool(Record::TextCount);
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(select)) == SQLITE_ROW) {
        Record& r = out.emplaceBack();
        r.tab_type = sqlite3_column_int(select, 0);
        for (int c = 0; c < Record::TextCount; ++c) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(select, c + 1));
            r.Text(c) = pool.FromUtf8(c, text, sqlite3_column_bytes(select, c + 1));
        }
    }
    if (step != SQLITE_DONE) {
        error = QString::fromUtf8(sqlite3_errmsg(handle));
        out.resize(held);
    }
    sqlite3_finalize(select);
    return step == SQLITE_DONE;
}

} // namespace

DatabaseEngine* DatabaseEngine::Instance()
{
    static DatabaseEngine* instance = new DatabaseEngine;
    return instance;
}

void DatabaseEngine::SetDbManager(DbManager* m)
{
    manager = m;
}

DbManager* DatabaseEngine::Manager() const
{
    return manager;
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
    return lastError;
}

DbManager* DatabaseEngine::Owner() const
{
    return manager ? manager : DbManager::Instance();
}

QSqlDatabase DatabaseEngine::Connection() const
{
    return Owner()->Database();
}

bool DatabaseEngine::Run(QSqlQuery& query, const QString& statement,
                         const QVariantList& values) const
{
    bool ok = Execute(query, statement, values);
    // A connection lost under the statement (the server restarted) is opened again and the
    // statement run once more: every statement here may be repeated (saves are upserts by key,
    // deletes go by key), and none is repeated inside a transaction.
    if (!ok && Owner()->ReopenIfLost() == DbManager::Reconnect::Reopened) {
        query = QSqlQuery(Connection());
        ok = Execute(query, statement, values);
    }
    if (!ok) {
        lastError = query.lastError().text().trimmed();
        if (lastError.isEmpty())
            lastError = QStringLiteral("数据库未连接");
    }
    return ok;
}

namespace
{

template <size_t N> QStringList Names(const std::array<const char*, N>& names)
{
    QStringList list;
    for (const char* name : names)
        list << QLatin1String(name);
    return list;
}

} // namespace

// A row saved by its key: every saved column in insert order, and which of them identify it.
struct DatabaseEngine::KeyedRow {
    QString table;
    QStringList columns;
    QVariantList values;
    QStringList key;

    QVariantList KeyValues() const
    {
        QVariantList out;
        for (const QString& k : key)
            out << values.at(columns.indexOf(k));
        return out;
    }
    QString Where() const { return key.join(QLatin1String("=? and ")) + QLatin1String("=?"); }
    QString CountStatement() const
    {
        return QStringLiteral("select count(*) from %1 where %2").arg(table, Where());
    }
    QString UpdateStatement() const
    {
        QStringList set;
        for (const QString& column : columns) {
            if (!key.contains(column))
                set << column + QLatin1String("=?");
        }
        return QStringLiteral("update %1 set %2 where %3")
            .arg(table, set.join(QLatin1Char(',')), Where());
    }
    // The values of the update: every column but the key's, then the key's.
    QVariantList UpdateValues() const
    {
        QVariantList out;
        for (qsizetype i = 0; i < columns.size(); ++i) {
            if (!key.contains(columns.at(i)))
                out << values.at(i);
        }
        return out << KeyValues();
    }
    QString InsertStatement() const
    {
        QStringList marks;
        marks.fill(QStringLiteral("?"), columns.size());
        return QStringLiteral("insert into %1(%2) values(%3)")
            .arg(table, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    }
    // The name every writer of this row locks.
    QString LockName() const { return KeyLockName(table, KeyValues()); }
};

// Updates the row when its key is stored, inserts it otherwise. The key is locked first, so a
// concurrent save of the same key waits and then updates; and the key's rows are counted instead
// of trusting the update's affected-row count, which some drivers do not report (-1).
bool DatabaseEngine::Upsert(const KeyedRow& row) const
{
    if (!manager) {
        lastError = QStringLiteral("数据库未连接");
        return false;
    }
    return InWriteTransaction([this, &row](WriteTransaction& transaction) {
        if (!transaction.LockKey(row.LockName())) {
            lastError = transaction.ErrorText();
            return false;
        }
        const QSqlDatabase db = Connection();
        bool stored = false;
        {
            QSqlQuery counting(db);
            if (!Run(counting, row.CountStatement(), row.KeyValues()))
                return false;
            stored = counting.next() && counting.value(0).toInt() > 0;
        }
        QSqlQuery saving(db);
        return stored ? Run(saving, row.UpdateStatement(), row.UpdateValues())
                      : Run(saving, row.InsertStatement(), row.values);
    });
}

bool DatabaseEngine::InWriteTransaction(const std::function<bool(WriteTransaction&)>& work,
                                        bool* connectionLost) const
{
    const bool enclosed = WriteTransaction::OpenOnThisThread();
    if (connectionLost)
        *connectionLost = false;
    for (bool repeated = false;; repeated = true) {
        {
            WriteTransaction transaction(Connection());
            if (!transaction.IsOpen())
                lastError = transaction.ErrorText();
            else if (work(transaction) && transaction.Commit())
                return true;
            else if (transaction.IsOpen() && !transaction.ErrorText().isEmpty())
                lastError = transaction.ErrorText();
        }
        if (enclosed || repeated)
            return false;
        const DbManager::Reconnect reconnect = Owner()->ReopenIfLost();
        if (reconnect != DbManager::Reconnect::Reopened) {
            if (connectionLost)
                *connectionLost = reconnect == DbManager::Reconnect::Lost;
            return false;
        }
    }
}

DatabaseEngine::KeyedRow DatabaseEngine::ProductRow(const ProductRecord& r) const
{
    return {
        StoreTables::Product,
        Names(ProductColumns) << QStringLiteral("store_no"),
        QVariantList{r.tab_type} + ProductTexts(r, 0) + QVariantList{Text(storeNo)},
        {QStringLiteral("tab_type"), QStringLiteral("product_serial"), QStringLiteral("store_no")}};
}

DatabaseEngine::KeyedRow DatabaseEngine::FinanceRow(const FinanceRecord& r) const
{
    return {StoreTables::Finance,
            Names(FinanceColumns) << QStringLiteral("store_no"),
            QVariantList{r.tab_type} + FinanceTexts(r, 0) + QVariantList{Text(storeNo)},
            {QStringLiteral("tab_type"), QStringLiteral("ie_serial"), QStringLiteral("store_no")}};
}

bool DatabaseEngine::SaveProductInfo(const ProductRecord& r)
{
    return Upsert(ProductRow(r));
}

bool DatabaseEngine::SaveFinanceInfo(const FinanceRecord& r)
{
    return Upsert(FinanceRow(r));
}

bool DatabaseEngine::DeleteProductInfo(const ProductRecord& r)
{
    QSqlQuery query(Connection());
    return Run(query,
               QStringLiteral("delete from tb_sm_product_info where tab_type=? and "
                              "product_serial=? and store_no=?"),
               {r.tab_type, Text(r.product_serial), Text(storeNo)});
}

bool DatabaseEngine::DeleteFinanceInfo(const FinanceRecord& r)
{
    QSqlQuery query(Connection());
    return Run(query,
               QStringLiteral("delete from tb_sm_finance_info where tab_type=? and ie_serial=? and "
                              " store_no=?"),
               {r.tab_type, Text(r.ie_serial), Text(storeNo)});
}

bool DatabaseEngine::ClearProductInfo(int tabType)
{
    QSqlQuery query(Connection());
    return Run(query,
               QStringLiteral("delete from tb_sm_product_info where tab_type=? and store_no=?"),
               {tabType, Text(storeNo)});
}

bool DatabaseEngine::ClearFinanceInfo(int tabType)
{
    QSqlQuery query(Connection());
    return Run(query,
               QStringLiteral("delete from tb_sm_finance_info where tab_type=? and store_no=?"),
               {tabType, Text(storeNo)});
}

qint64 DatabaseEngine::CountProductInfo(int tabType)
{
    return CountKind(QStringLiteral("tb_sm_product_info"), tabType);
}

qint64 DatabaseEngine::CountFinanceInfo(int tabType)
{
    return CountKind(QStringLiteral("tb_sm_finance_info"), tabType);
}

qint64 DatabaseEngine::CountKind(const QString& table, int tabType)
{
    return CountRows(
        QStringLiteral("select count(*) from %1 where tab_type=? and store_no=?").arg(table),
        {tabType, Text(storeNo)});
}

qint64 DatabaseEngine::CountRows(const QString& statement, const QVariantList& values)
{
    QSqlQuery query(Connection());
    if (!Run(query, statement, values))
        return -1;
    if (!query.next()) {
        lastError = QStringLiteral("无法读取记录条数");
        return -1;
    }
    return query.value(0).toLongLong();
}

bool DatabaseEngine::SaveUserInfo(const UserRecord& u)
{
    // An account is the current store's row with this phone number and this name: two accounts
    // may share a name or a phone number, and each is kept.
    return Upsert({StoreTables::User,
                   {QStringLiteral("user_phoneno"), QStringLiteral("user_name"),
                    QStringLiteral("user_password"), QStringLiteral("user_type"),
                    QStringLiteral("user_online"), QStringLiteral("user_ip"),
                    QStringLiteral("user_remark"), QStringLiteral("store_no")},
                   {Text(u.user_phoneno), Text(u.user_name), Text(u.user_password), u.user_type,
                    u.user_online, Text(u.user_ip), Text(u.user_remark), Text(storeNo)},
                   {QStringLiteral("user_phoneno"), QStringLiteral("user_name"),
                    QStringLiteral("store_no")}});
}

bool DatabaseEngine::DeleteUserInfo(const UserRecord& u)
{
    QSqlQuery query(Connection());
    return Run(query,
               QStringLiteral("delete from tb_sm_user where user_phoneno=? and user_name=? and "
                              "store_no=?"),
               {Text(u.user_phoneno), Text(u.user_name), Text(storeNo)});
}

DatabaseEngine::Answer DatabaseEngine::CheckUserPassword(const QString& login,
                                                         const QString& password)
{
    QSqlQuery query(Connection());
    if (!Run(query,
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

bool DatabaseEngine::LoadUserInfo(UserRecord& user)
{
    QSqlQuery query(Connection());
    if (!Run(query,
             QStringLiteral("select user_type, user_online, user_phoneno, user_name, "
                            "user_password, user_ip, user_remark from tb_sm_user where store_no=? "
                            "and (user_phoneno=? or user_name=?) order by id"),
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
    if (!loaded)
        lastError = QStringLiteral("没有该账户");
    return loaded;
}

bool DatabaseEngine::ReplaceUserAccounts(const QList<UserRecord>& users)
{
    return InWriteTransaction([this, &users](WriteTransaction&) {
        bool ok = DeleteStoreRows(StoreTables::User);
        for (qsizetype i = 0; ok && i < users.size(); ++i)
            ok = SaveUserInfo(users.at(i));
        return ok;
    });
}

DatabaseEngine::Answer DatabaseEngine::HasUserAccounts()
{
    const qint64 accounts = CountRows(
        QStringLiteral("select count(*) from tb_sm_user where store_no=?"), {Text(storeNo)});
    if (accounts < 0)
        return Answer::Failed;
    return accounts > 0 ? Answer::Yes : Answer::No;
}

bool DatabaseEngine::SaveListInfo(int table, const ListRecord& list)
{
    const QString name = StoreTables::ListTable(table);
    if (name.isEmpty()) {
        lastError = QStringLiteral("没有第%1类列表").arg(table);
        return false;
    }
    return Upsert(
        {name,
         {QStringLiteral("info_type"), QStringLiteral("info_list"), QStringLiteral("store_no")},
         {list.info_type, Text(list.info_list), Text(storeNo)},
         {QStringLiteral("info_type"), QStringLiteral("store_no")}});
}

bool DatabaseEngine::DeleteListInfo(int table, int infoType)
{
    const QString name = StoreTables::ListTable(table);
    if (name.isEmpty()) {
        lastError = QStringLiteral("没有第%1类列表").arg(table);
        return false;
    }
    QSqlQuery query(Connection());
    return Run(query, QStringLiteral("delete from %1 where info_type=? and store_no=?").arg(name),
               {infoType, Text(storeNo)});
}

bool DatabaseEngine::LoadListInfo(int table, ListRecord& list)
{
    const QString name = StoreTables::ListTable(table);
    if (name.isEmpty()) {
        lastError = QStringLiteral("没有第%1类列表").arg(table);
        return false;
    }
    QSqlQuery query(Connection());
    if (!Run(query,
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

bool DatabaseEngine::DeleteStoreRows(const QString& tableName)
{
    if (!StoreTables::IsKnown(tableName)) {
        lastError = QStringLiteral("没有数据表 %1").arg(tableName);
        return false;
    }
    QSqlQuery query(Connection());
    return Run(query, QStringLiteral("delete from %1 where store_no=?").arg(tableName),
               {Text(storeNo)});
}

bool DatabaseEngine::PeriodStatement(const QString& table, const QString& columns,
                                     const QString& dateColumn, int timeMode, int kind,
                                     const QString& startDate, const QString& queryDate,
                                     QString& statement, QVariantList& values) const
{
    statement = QStringLiteral("select %1 from %2 where store_no=?").arg(columns, table);
    values = {Text(storeNo)};
    if (timeMode == 1) {
        statement += QStringLiteral(" and %1=?").arg(dateColumn);
        values << Text(queryDate);
    } else if (timeMode >= 2 && timeMode <= 4) {
        const std::optional<Period> period = Period::ForMode(timeMode, startDate, queryDate);
        if (!period) {
            lastError = QStringLiteral("无法识别的日期 %1").arg(queryDate);
            return false;
        }
        statement += QStringLiteral(" and %1 between ? and ?").arg(dateColumn);
        values << Text(period->first) << Text(period->last);
    } else if (timeMode != 5) {
        lastError = QStringLiteral("没有第%1种时间方式").arg(timeMode);
        return false;
    }
    if (kind >= 0) {
        statement += QStringLiteral(" and tab_type=?");
        values << kind;
    }
    return true;
}

bool DatabaseEngine::SelectProductRecords(int timeMode, int kind, const QString& startDate,
                                          const QString& queryDate, QList<ProductRecord>& out)
{
    QString statement;
    QVariantList values;
    static const QString columns = SelectList(ProductColumns);
    if (!PeriodStatement(StoreTables::Product, columns, QStringLiteral("product_time"), timeMode,
                         kind, startDate, queryDate, statement, values))
        return false;
    return ReadRecords(statement, values, PageDateColumnGoods, out);
}

bool DatabaseEngine::SelectFinanceRecords(int timeMode, int kind, const QString& startDate,
                                          const QString& queryDate, QList<FinanceRecord>& out)
{
    QString statement;
    QVariantList values;
    static const QString columns = SelectList(FinanceColumns);
    if (!PeriodStatement(StoreTables::Finance, columns, QStringLiteral("ie_time"), timeMode, kind,
                         startDate, queryDate, statement, values))
        return false;
    return ReadRecords(statement, values, PageDateColumnMoney, out);
}

template <class Record>
bool DatabaseEngine::ReadRecords(const QString& statement, const QVariantList& values, int dateText,
                                 QList<Record>& out) const
{
    const QSqlDatabase db = Connection();
    if (sqlite3* handle = SqliteHandle(db)) {
        QString error;
        if (ReadSqliteRecords(handle, statement, values, out, error))
            return true;
        lastError = error;
        return false;
    }
    QSqlQuery query(db);
    if (!Run(query, statement, values))
        return false;
    ReadQueryRecords(query, dateText, out);
    return true;
}

namespace
{

// The serials given to one lookup; a shorter list is padded with its first serial.
constexpr int LookupSerials = 500;
// Rows per multi-row insert: 80 goods rows bind 1680 values, below SQL Server's 2100.
constexpr int InsertRows = 80;

// The insert statement of one row made to insert InsertRows rows.
QString InsertMany(const QString& insert)
{
    const qsizetype values = insert.lastIndexOf(QLatin1String("values"));
    const QString row = insert.mid(values + 6).trimmed();
    QStringList rows;
    for (int i = 0; i < InsertRows; ++i)
        rows << row;
    return insert.left(values + 6) + rows.join(QLatin1Char(','));
}

QString LookupStatement(const QString& table, const QString& serialColumn)
{
    QStringList marks;
    for (int i = 0; i < LookupSerials; ++i)
        marks << QStringLiteral("?");
    return QStringLiteral("select tab_type, %2 from %1 where store_no=? and tab_type=? and %2 in "
                          "(%3)")
        .arg(table, serialColumn, marks.join(QLatin1Char(',')));
}

void BindAll(QSqlQuery& query, const QVariantList& values)
{
    for (qsizetype i = 0; i < values.size(); ++i)
        query.bindValue(int(i), values.at(i));
}

} // namespace

// The batch statements of a ledger table, made from the same row description as a single save.
DatabaseEngine::BatchStatements DatabaseEngine::BatchStatementsFor(const KeyedRow& row)
{
    const QString insert = row.InsertStatement();
    return {row.table, LookupStatement(row.table, row.key.at(1)), row.UpdateStatement(), insert,
            InsertMany(insert)};
}

QList<DatabaseEngine::BatchResult>
DatabaseEngine::SaveProductBatch(const QList<ProductRecord>& records)
{
    static const BatchStatements statements = BatchStatementsFor(ProductRow(ProductRecord()));
    return SaveBatch(statements, records.size(), [&](qsizetype i) {
        const KeyedRow row = ProductRow(records.at(i));
        return BatchRow{records.at(i).tab_type, records.at(i).product_serial, row.UpdateValues(),
                        row.values};
    });
}

QList<DatabaseEngine::BatchResult>
DatabaseEngine::SaveFinanceBatch(const QList<FinanceRecord>& records)
{
    static const BatchStatements statements = BatchStatementsFor(FinanceRow(FinanceRecord()));
    return SaveBatch(statements, records.size(), [&](qsizetype i) {
        const KeyedRow row = FinanceRow(records.at(i));
        return BatchRow{records.at(i).tab_type, records.at(i).ie_serial, row.UpdateValues(),
                        row.values};
    });
}

QList<DatabaseEngine::BatchResult> DatabaseEngine::SaveBatch(const BatchStatements& statements,
                                                             qsizetype count,
                                                             const BatchRowAt& rowAt) const
{
    QList<BatchResult> results(count);
    if (!manager) {
        for (BatchResult& r : results)
            r.error = QStringLiteral("数据库未连接");
        return results;
    }
    // The statement values of one transaction's records at a time, not of all of them.
    for (qsizetype from = 0; from < count; from += BatchRows) {
        const qsizetype to = std::min(count, from + BatchRows);
        QList<BatchRow> rows;
        rows.reserve(to - from);
        for (qsizetype i = from; i < to; ++i)
            rows << rowAt(i);
        QList<BatchResult> part(rows.size());
        const bool connected = SaveRange(statements, rows, 0, rows.size(), part);
        std::move(part.begin(), part.end(), results.begin() + from);
        if (!connected) {
            // Every further try would only wait for the server again.
            for (qsizetype i = from; i < count; ++i) {
                if (results[i].outcome == BatchResult::NotSaved)
                    results[i].error = lastError;
            }
            break;
        }
    }
    return results;
}

// Stores rows [from, to) in one transaction; when the database refuses one of them, the halves
// are stored separately, down to the single refused record. False, with the rows not yet stored
// left NotSaved, as soon as the connection is lost and cannot be opened again.
bool DatabaseEngine::SaveRange(const BatchStatements& statements, const QList<BatchRow>& rows,
                               qsizetype from, qsizetype to, QList<BatchResult>& results) const
{
    bool connectionLost = false;
    if (SaveInOneTransaction(statements, rows, from, to, results, connectionLost))
        return true;
    if (connectionLost) {
        // What the rolled-back transaction stored went with it.
        for (qsizetype i = from; i < to; ++i)
            results[i] = {BatchResult::NotSaved, lastError};
        return false;
    }
    if (to - from == 1) {
        results[from] = {BatchResult::Refused, lastError};
        return true;
    }
    const qsizetype middle = from + (to - from) / 2;
    return SaveRange(statements, rows, from, middle, results) &&
           SaveRange(statements, rows, middle, to, results);
}

bool DatabaseEngine::SaveInOneTransaction(const BatchStatements& statements,
                                          const QList<BatchRow>& rows, qsizetype from, qsizetype to,
                                          QList<BatchResult>& results, bool& connectionLost) const
{
    // The rows' keys are locked as single saves lock them, so no other writer stores one of
    // them between the lookup and the insert.
    QStringList keys;
    for (qsizetype i = from; i < to; ++i)
        keys << KeyLockName(statements.table,
                            {rows.at(i).kind, Text(rows.at(i).serial), Text(storeNo)});
    const auto work = [&](WriteTransaction& transaction) {
        if (!transaction.LockKeys(keys)) {
            lastError = transaction.ErrorText();
            return false;
        }
        const QSqlDatabase db = Connection();
        QSqlQuery lookup(db), update(db), insert(db), insertMany(db);
        QSqlQuery* failed = nullptr;
        for (QSqlQuery* q : {&lookup, &update, &insert, &insertMany}) {
            q->setForwardOnly(true);
            const QString& text = q == &lookup   ? statements.lookup
                                  : q == &update ? statements.update
                                  : q == &insert ? statements.insert
                                                 : statements.insertMany;
            if (!failed && !q->prepare(text))
                failed = q;
        }
        QSet<QPair<int, QString>> existing;
        if (!failed && !ExistingSerials(lookup, rows, from, to, existing))
            failed = &lookup;
        // New rows wait to be inserted InsertRows at a time; a serial given again meanwhile is
        // inserted first, so that its second record updates it.
        QList<qsizetype> waiting;
        QSet<QPair<int, QString>> waitingKeys;
        const auto insertWaiting = [&](bool all) {
            while (!failed && waiting.size() >= InsertRows) {
                for (int k = 0; k < InsertRows; ++k) {
                    const QVariantList& values = rows.at(waiting.at(k)).insertValues;
                    for (qsizetype v = 0; v < values.size(); ++v)
                        insertMany.bindValue(int(k * values.size() + v), values.at(v));
                }
                if (!insertMany.exec())
                    failed = &insertMany;
                waiting.remove(0, InsertRows);
            }
            for (qsizetype k = 0; all && !failed && k < waiting.size(); ++k) {
                BindAll(insert, rows.at(waiting.at(k)).insertValues);
                if (!insert.exec())
                    failed = &insert;
            }
            if (all)
                waiting.clear();
            waitingKeys.clear();
            for (qsizetype k : std::as_const(waiting))
                waitingKeys.insert({rows.at(k).kind, rows.at(k).serial});
        };
        for (qsizetype i = from; !failed && i < to; ++i) {
            const BatchRow& row = rows.at(i);
            const QPair<int, QString> key(row.kind, row.serial);
            if (waitingKeys.contains(key)) {
                insertWaiting(true);
                if (failed)
                    break;
            }
            // A row deleted since the lookup affects nothing and is inserted instead; a driver
            // that cannot count affected rows reports -1 for a row that is there.
            if (existing.contains(key)) {
                BindAll(update, row.updateValues);
                if (!update.exec()) {
                    failed = &update;
                    break;
                }
                if (update.numRowsAffected() != 0) {
                    results[i].outcome = BatchResult::Updated;
                    continue;
                }
            }
            existing.insert(key);
            results[i].outcome = BatchResult::Inserted;
            waiting << i;
            waitingKeys.insert(key);
            if (waiting.size() == InsertRows)
                insertWaiting(false);
        }
        if (!failed)
            insertWaiting(true);
        if (failed)
            lastError = failed->lastError().text().trimmed();
        return !failed;
    };
    return InWriteTransaction(work, &connectionLost);
}

bool DatabaseEngine::ExistingSerials(QSqlQuery& lookup, const QList<BatchRow>& rows, qsizetype from,
                                     qsizetype to, QSet<QPair<int, QString>>& existing) const
{
    QHash<int, QStringList> serialsByKind;
    for (qsizetype i = from; i < to; ++i)
        serialsByKind[rows.at(i).kind] << rows.at(i).serial;
    for (auto it = serialsByKind.cbegin(); it != serialsByKind.cend(); ++it) {
        const QStringList& serials = it.value();
        for (qsizetype first = 0; first < serials.size(); first += LookupSerials) {
            lookup.bindValue(0, Text(storeNo));
            lookup.bindValue(1, it.key());
            for (int k = 0; k < LookupSerials; ++k) {
                const qsizetype at = first + k < serials.size() ? first + k : first;
                lookup.bindValue(2 + k, Text(serials.at(at)));
            }
            if (!lookup.exec())
                return false;
            while (lookup.next())
                existing.insert({lookup.value(0).toInt(), lookup.value(1).toString()});
        }
    }
    return true;
}
