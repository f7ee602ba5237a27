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
    SqliteSink(sqlite3* handle, ScriptEncoding encoding) : RestoreSink(encoding), handle(handle) {}

    ~SqliteSink() override
    {
        for (const auto& [columns, statement] : statements)
            sqlite3_finalize(statement);
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

    bool Finish() override { return true; }

private:
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
    std::map<const QList<int>*, sqlite3_stmt*> statements;
    QByteArray scratch;
};

} // namespace

std::unique_ptr<RestoreSink> RestoreSinks::Sqlite(sqlite3* handle, ScriptEncoding encoding)
{
    return std::make_unique<SqliteSink>(handle, encoding);
}
