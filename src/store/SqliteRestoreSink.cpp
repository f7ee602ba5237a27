#include "RestoreSink.h"

#include <QStringList>
#include <map>
#include <sqlite3.h>

namespace
{

// Each row one step of a prepared insert of SQLite's own library, its values bound from the
// file's bytes: texts without a copy where the file holds them as they are stored.
class SqliteSink : public RestoreSink
{
public:
    SqliteSink(QSqlDatabase db, sqlite3* handle, ScriptEncoding encoding)
        : RestoreSink(db, encoding), handle(handle)
    {
        // The tables' indexes are changed at every row: a cache that holds the pages of a large
        // store keeps them from going to the file and back again and again.
        sqlite3_stmt* pragma = nullptr;
        if (sqlite3_prepare_v2(handle, "PRAGMA cache_size", -1, &pragma, nullptr) == SQLITE_OK &&
            sqlite3_step(pragma) == SQLITE_ROW)
            cacheSize = QByteArray::number(sqlite3_column_int64(pragma, 0));
        sqlite3_finalize(pragma);
        if (!cacheSize.isEmpty())
            sqlite3_exec(handle, "PRAGMA cache_size=-262144", nullptr, nullptr, nullptr);
    }

    ~SqliteSink() override
    {
        for (const auto& [columns, statement] : statements)
            sqlite3_finalize(statement);
        if (!cacheSize.isEmpty())
            sqlite3_exec(handle, QByteArray("PRAGMA cache_size=" + cacheSize).constData(), nullptr,
                         nullptr, nullptr);
    }

    bool Add(const ScannedRow& row) override
    {
        sqlite3_stmt* statement = StatementFor(row);
        if (!statement)
            return Refuse(QString::fromUtf8(sqlite3_errmsg(handle)), row.line);
        for (qsizetype i = 0; i < row.columns->size(); ++i)
            Bind(statement, int(i) + 1, row.values[size_t(i)], row.IntColumn(int(i)));
        const int stepped = sqlite3_step(statement);
        sqlite3_reset(statement);
        if (stepped != SQLITE_DONE)
            return Refuse(QString::fromUtf8(sqlite3_errmsg(handle)), row.line);
        Count(row.tableIndex);
        return true;
    }

    bool Empty(const QString& storeNo, QString& error) override
    {
        const QByteArray store = storeNo.toUtf8();
        for (const TableSchema& table : Schema::Tables()) {
            // A table of this store's rows only is emptied whole, and its indexes are built
            // again once the rows are in: far less work than changing them at every row.
            const QByteArray name = table.name.toUtf8();
            QList<QByteArray> others;
            const bool done =
                Run("select 1 from " + name + " where store_no is not ?1 limit 1", store, others) &&
                (!others.isEmpty()
                     ? Run("delete from " + name + " where store_no=?1", store, others)
                     : DropIndexes(name) && Run("delete from " + name, {}, others));
            if (!done) {
                error = QString::fromUtf8(sqlite3_errmsg(handle));
                return false;
            }
        }
        return true;
    }

    bool Finish() override
    {
        for (const QByteArray& index : std::as_const(rebuilt)) {
            if (sqlite3_exec(handle, index.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
                return Refuse(QString::fromUtf8(sqlite3_errmsg(handle)), 0);
        }
        rebuilt.clear();
        return true;
    }

private:
    // Runs a statement with one text bound, its rows' first columns into `rows`.
    bool Run(const QByteArray& text, const QByteArray& bound, QList<QByteArray>& rows)
    {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &statement, nullptr) !=
            SQLITE_OK)
            return false;
        if (sqlite3_bind_parameter_count(statement) > 0)
            sqlite3_bind_text(statement, 1, bound.constData(), int(bound.size()), SQLITE_STATIC);
        int stepped;
        rows.clear();
        while ((stepped = sqlite3_step(statement)) == SQLITE_ROW)
            rows << QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)),
                               sqlite3_column_bytes(statement, 0));
        sqlite3_finalize(statement);
        return stepped == SQLITE_DONE;
    }

    // Drops the table's own indexes that allow repeated values; Finish() makes them again.
    bool DropIndexes(const QByteArray& table)
    {
        QList<QByteArray> names;
        if (!Run("select l.name from pragma_index_list(?1) l join sqlite_master m on "
                 "m.name=l.name where l.\"unique\"=0 and l.origin='c' and m.type='index'",
                 table, names))
            return false;
        for (const QByteArray& name : std::as_const(names)) {
            QList<QByteArray> made;
            if (!Run("select sql from sqlite_master where type='index' and name=?1", name, made) ||
                made.size() != 1)
                return false;
            QByteArray quoted = name;
            quoted.replace('"', "\"\"");
            const QByteArray drop = "drop index \"" + quoted + '"';
            if (sqlite3_exec(handle, drop.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
                return false;
            rebuilt << made.first();
        }
        return true;
    }

    sqlite3_stmt* StatementFor(const ScannedRow& row)
    {
        // The scanner keeps one list per table and column set: its address names the statement.
        auto found = statements.find(row.columns);
        if (found != statements.end())
            return found->second;
        QStringList names;
        for (int c : *row.columns)
            names << row.table->columns.at(c);
        const QByteArray text = QStringLiteral("insert into %1(%2) values(%3)")
                                    .arg(row.table->name, names.join(u','),
                                         QStringList(names.size(), QStringLiteral("?")).join(u','))
                                    .toUtf8();
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &statement, nullptr) !=
            SQLITE_OK)
            return nullptr;
        statements.emplace(row.columns, statement);
        return statement;
    }

    void Bind(sqlite3_stmt* statement, int at, const ScriptValue& value, bool intColumn)
    {
        switch (value.kind) {
        case ScriptValue::Null:
            sqlite3_bind_null(statement, at);
            return;
        case ScriptValue::Bytes: {
            const QByteArray bytes = QByteArray::fromHex(value.raw.toByteArray());
            sqlite3_bind_blob(statement, at, bytes.constData(), int(bytes.size()),
                              SQLITE_TRANSIENT);
            return;
        }
        case ScriptValue::Number:
            if (intColumn) {
                qint64 whole = 0;
                double real = 0;
                if (value.Whole(whole, real))
                    sqlite3_bind_int64(statement, at, whole);
                else
                    sqlite3_bind_double(statement, at, real);
                return;
            }
            break;
        default:
            break;
        }
        const QByteArrayView text = value.Utf8(encoding, intColumn, scratch);
        // A text that stands in the file as stored is bound where it lies; the file outlives
        // the step.
        const bool inFile = text.data() == value.raw.data();
        sqlite3_bind_text(statement, at, text.isNull() ? "" : text.data(), int(text.size()),
                          inFile ? SQLITE_STATIC : SQLITE_TRANSIENT);
    }

    sqlite3* handle;
    QByteArray cacheSize;      // the connection's own, given back at the end
    QList<QByteArray> rebuilt; // the indexes dropped while the rows come in
    std::map<const QList<int>*, sqlite3_stmt*> statements;
    QByteArray scratch;
};

} // namespace

std::unique_ptr<RestoreSink> RestoreSinks::Sqlite(QSqlDatabase db, sqlite3* handle,
                                                  ScriptEncoding encoding)
{
    return std::make_unique<SqliteSink>(db, handle, encoding);
}
