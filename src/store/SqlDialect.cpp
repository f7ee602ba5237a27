#include "SqlDialect.h"

#include "StoreTables.h"

namespace
{

// "<open>name<close> type" for each column, joined by "," and closed by ")".
QString ColumnList(const QStringList& columns, const QStringList& types, QLatin1String open,
                   QLatin1String close, QString (*mapType)(const QString&))
{
    QStringList parts;
    for (qsizetype i = 0; i < columns.size(); ++i)
        parts << QStringLiteral("%1%2%3 %4").arg(open, columns.at(i), close, mapType(types.at(i)));
    return parts.join(QLatin1Char(',')) + QLatin1Char(')');
}

QString SameType(const QString& type)
{
    return type;
}

QString PostgresType(const QString& type)
{
    if (type.compare(QLatin1String("NVARCHAR(MAX)"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("text");
    return type;
}

// SQLite compares and stores every text alike; dates stay "yyyy-MM-dd" texts.
QString SqliteType(const QString& type)
{
    return type.compare(QLatin1String("int"), Qt::CaseInsensitive) == 0 ? QStringLiteral("integer")
                                                                        : QStringLiteral("text");
}

} // namespace

QStringList SqlDialect::IndexStatements(const QString& table) const
{
    if (table == StoreTables::Product)
        return {IndexStatement(QStringLiteral("ix_product_serial"), table,
                               QStringLiteral("store_no,tab_type,product_serial")),
                IndexStatement(QStringLiteral("ix_product_kind_time"), table,
                               QStringLiteral("store_no,tab_type,product_time")),
                IndexStatement(QStringLiteral("ix_product_time"), table,
                               QStringLiteral("store_no,product_time"))};
    if (table == StoreTables::Finance)
        return {IndexStatement(QStringLiteral("ix_finance_serial"), table,
                               QStringLiteral("store_no,tab_type,ie_serial")),
                IndexStatement(QStringLiteral("ix_finance_kind_time"), table,
                               QStringLiteral("store_no,tab_type,ie_time")),
                IndexStatement(QStringLiteral("ix_finance_time"), table,
                               QStringLiteral("store_no,ie_time"))};
    return {};
}

std::unique_ptr<SqlDialect> SqlDialect::ForDriver(const QString& driverType)
{
    if (driverType == QLatin1String("QSQLITE"))
        return std::make_unique<SqliteDialect>();
    if (driverType == QLatin1String("QPSQL"))
        return std::make_unique<PostgresDialect>();
    return std::make_unique<SqlServerDialect>();
}

QString SqlServerDialect::CreateTableStatement(const QString& name, const QStringList& columns,
                                               const QStringList& types, bool firstTable) const
{
    const QString head =
        firstTable
            ? QStringLiteral("create table [%1] ([id] int identity(1,1),constraint pkid primary "
                             "key (id),")
                  .arg(name)
            : QStringLiteral("create table [%1] ([id] int identity(1,1),constraint pk_%1 primary "
                             "key(id),")
                  .arg(name);
    return head + ColumnList(columns, types, QLatin1String("["), QLatin1String("]"), SameType);
}

QString SqlServerDialect::IndexStatement(const QString& index, const QString& table,
                                         const QString& columns) const
{
    return QStringLiteral("if not exists (select * from sys.indexes where name='%1') "
                          "create index %1 on [%2] (%3)")
        .arg(index, table, columns);
}

QString PostgresDialect::CreateTableStatement(const QString& name, const QStringList& columns,
                                              const QStringList& types, bool firstTable) const
{
    const QString key = firstTable ? QStringLiteral("pkid") : QStringLiteral("pk_") + name;
    return QStringLiteral("create table %1 (id serial,constraint %2 primary key (id),")
               .arg(name, key) +
           ColumnList(columns, types, QLatin1String(""), QLatin1String(""), PostgresType);
}

QString PostgresDialect::IndexStatement(const QString& index, const QString& table,
                                        const QString& columns) const
{
    return QStringLiteral("create index if not exists %1 on %2 (%3)").arg(index, table, columns);
}

QString SqliteDialect::CreateTableStatement(const QString& name, const QStringList& columns,
                                            const QStringList& types, bool firstTable) const
{
    const QString key = firstTable ? QStringLiteral("pkid") : QStringLiteral("pk_") + name;
    return QStringLiteral("create table %1 (id integer constraint %2 primary key autoincrement,")
               .arg(name, key) +
           ColumnList(columns, types, QLatin1String(""), QLatin1String(""), SqliteType);
}

QString SqliteDialect::IndexStatement(const QString& index, const QString& table,
                                      const QString& columns) const
{
    return QStringLiteral("create index if not exists %1 on %2 (%3)").arg(index, table, columns);
}
