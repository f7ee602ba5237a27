#include "RecordingDriver.h"

#include "SqlDialect.h"

#include <QRegularExpression>
#include <QSqlDriverCreator>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <QtSql/private/qsqldriver_p.h>

const char* const RecordingDriver::Type = "QTSQLREC";

namespace
{

const QString Backing = QStringLiteral("recording-backing");
QList<SentStatement> sent;
int lockAnswer = 0;

QSqlDatabase BackingDatabase()
{
    return QSqlDatabase::database(Backing);
}

// SQL Server's table creation has no SQLite reading: the backing table is made from the same
// columns in SQLite's words.
bool CreateBackingTable(const QString& text)
{
    static const QRegularExpression name(QStringLiteral(R"(^create table \[(\w+)\])"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression column(QStringLiteral(R"(\[(\w+)\] (\w+(?:\(\w+\))?))"));
    const QString table = name.match(text).captured(1);
    QStringList columns;
    QStringList types;
    for (auto it = column.globalMatch(text, text.indexOf(QLatin1Char('('))); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(1) != QLatin1String("id")) {
            columns << m.captured(1);
            types << m.captured(2);
        }
    }
    QSqlQuery query(BackingDatabase());
    return !table.isEmpty() &&
           query.exec(
               SqlDialect(SqlDialect::Sqlite).CreateTableStatement(table, columns, types, false));
}

bool CreateBackingIndex(const QString& text)
{
    static const QRegularExpression index(
        QStringLiteral(R"(create (unique )?index (\w+) on \[(\w+)\] \(([\w,]+)\))"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = index.match(text);
    QSqlQuery query(BackingDatabase());
    return m.hasMatch() &&
           query.exec(QStringLiteral("create %1index if not exists %2 on %3 (%4)")
                          .arg(m.captured(1), m.captured(2), m.captured(3), m.captured(4)));
}

// What SQLite reads otherwise: SQL Server pages with OFFSET ... FETCH, and updates several rows
// by joining the table to a VALUES list, which SQLite takes as a named VALUES list.
QString ForSqlite(QString text)
{
    static const QRegularExpression fetch(
        QStringLiteral(R"(offset 0 rows fetch next (\d+) rows only)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression joined(
        QStringLiteral(
            R"(^update (\w+) set (.*) from \1 join \(values (.*)\) as v\(([^)]*)\) on (.*)$)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    text.replace(joined,
                 QStringLiteral("with v(\\4) as (values \\3) update \\1 set \\2 from v where \\5"));
    return text.replace(fetch, QStringLiteral("limit \\1"));
}

class RecordingResult : public QSqlResult
{
public:
    explicit RecordingResult(const QSqlDriver* driver) : QSqlResult(driver) {}

protected:
    QVariant data(int i) override { return rows.value(at()).value(i); }
    bool isNull(int i) override { return data(i).isNull(); }
    bool reset(const QString& text) override
    {
        setQuery(text);
        return Run(text, {});
    }
    bool prepare(const QString& text) override
    {
        setQuery(text);
        return true;
    }
    bool exec() override { return Run(lastQuery(), boundValues()); }
    bool fetch(int i) override
    {
        if (i < 0 || i >= rows.size())
            return false;
        setAt(i);
        return true;
    }
    bool fetchFirst() override { return fetch(0); }
    bool fetchLast() override { return fetch(int(rows.size()) - 1); }
    int size() override { return isSelect() ? int(rows.size()) : -1; }
    int numRowsAffected() override { return affected; }
    QSqlRecord record() const override { return columns; }

private:
    bool Run(const QString& text, const QVariantList& values)
    {
        sent.append({text, values});
        rows.clear();
        columns = QSqlRecord();
        affected = -1;
        setAt(QSql::BeforeFirstRow);
        setSelect(false);
        bool ok = true;
        if (text.startsWith(QLatin1String("create table"), Qt::CaseInsensitive)) {
            ok = CreateBackingTable(text);
        } else if (text.contains(QLatin1String(" index "), Qt::CaseInsensitive) &&
                   text.contains(QLatin1String("create "), Qt::CaseInsensitive)) {
            ok = CreateBackingIndex(text);
        } else if (text.contains(QLatin1String("sp_getapplock"), Qt::CaseInsensitive)) {
            rows.append(QVariantList{lockAnswer});
            setSelect(true);
        } else {
            ok = Forward(text, values);
        }
        setActive(ok);
        return ok;
    }

    bool Forward(const QString& text, const QVariantList& values)
    {
        QSqlQuery query(BackingDatabase());
        if (!query.prepare(ForSqlite(text))) {
            setLastError(query.lastError());
            return false;
        }
        for (const QVariant& value : values)
            query.addBindValue(value);
        if (!query.exec()) {
            setLastError(query.lastError());
            return false;
        }
        setSelect(query.isSelect());
        affected = query.numRowsAffected();
        columns = query.record();
        while (query.next()) {
            QVariantList row;
            for (int i = 0; i < columns.count(); ++i)
                row << query.value(i);
            rows.append(row);
        }
        return true;
    }

    QList<QVariantList> rows;
    QSqlRecord columns;
    int affected = -1;
};

class RecordingDriverPrivate : public QSqlDriverPrivate
{
public:
    RecordingDriverPrivate() : QSqlDriverPrivate(QSqlDriver::MSSqlServer) {}
};

class Driver : public QSqlDriver
{
public:
    Driver() : QSqlDriver(*new RecordingDriverPrivate) {}

    bool hasFeature(DriverFeature feature) const override
    {
        switch (feature) {
        case Transactions:
        case PreparedQueries:
        case PositionalPlaceholders:
        case Unicode:
        case QuerySize:
            return true;
        default:
            return false;
        }
    }
    bool open(const QString&, const QString&, const QString&, const QString&, int,
              const QString&) override
    {
        setOpen(true);
        setOpenError(false);
        return true;
    }
    void close() override { setOpen(false); }
    QSqlResult* createResult() const override { return new RecordingResult(this); }
    bool beginTransaction() override { return BackingDatabase().transaction(); }
    bool commitTransaction() override { return BackingDatabase().commit(); }
    bool rollbackTransaction() override { return BackingDatabase().rollback(); }
    QStringList tables(QSql::TableType type) const override
    {
        return BackingDatabase().tables(type);
    }
    QSqlRecord record(const QString& table) const override
    {
        return BackingDatabase().record(table);
    }
};

} // namespace

namespace RecordingDriver
{

void Install(const QString& backingFile)
{
    if (!QSqlDatabase::isDriverAvailable(QLatin1String(Type)))
        QSqlDatabase::registerSqlDriver(QLatin1String(Type), new QSqlDriverCreator<Driver>);
    if (QSqlDatabase::contains(Backing))
        QSqlDatabase::database(Backing).close();
    QSqlDatabase backing = QSqlDatabase::contains(Backing)
                               ? QSqlDatabase::database(Backing, false)
                               : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), Backing);
    backing.setDatabaseName(backingFile);
    backing.open();
    sent.clear();
    lockAnswer = 0;
}

QList<SentStatement> Take()
{
    return std::exchange(sent, {});
}

void SetLockAnswer(int answer)
{
    lockAnswer = answer;
}

} // namespace RecordingDriver
