#include "SqlDialect.h"

#include "StoreTables.h"

SqlDialect SqlDialect::ForDriver(const QString& driverType)
{
    if (driverType == QLatin1String("QSQLITE"))
        return SqlDialect(Sqlite);
    if (driverType == QLatin1String("QPSQL"))
        return SqlDialect(Postgres);
    return SqlDialect(SqlServer);
}

SqlDialect SqlDialect::ForServer(const QString& serverName)
{
    if (serverName.startsWith(QLatin1String("PostgreSQL"), Qt::CaseInsensitive))
        return SqlDialect(Postgres);
    if (serverName.startsWith(QLatin1String("SQLite"), Qt::CaseInsensitive))
        return SqlDialect(Sqlite);
    return SqlDialect(SqlServer);
}

QString SqlDialect::TypeText(const QString& type) const
{
    switch (server) {
    case Postgres:
        return type.compare(QLatin1String("NVARCHAR(MAX)"), Qt::CaseInsensitive) == 0
                   ? QStringLiteral("text")
                   : type;
    case Sqlite:
        // SQLite compares and stores every text alike; dates stay "yyyy-MM-dd" texts.
        return type.compare(QLatin1String("int"), Qt::CaseInsensitive) == 0
                   ? QStringLiteral("integer")
                   : QStringLiteral("text");
    default:
        return type;
    }
}

QString SqlDialect::CreateTableStatement(const QString& name, const QStringList& columns,
                                         const QStringList& types, bool firstTable) const
{
    QString statement;
    const QString key = firstTable ? QStringLiteral("pkid") : QStringLiteral("pk_") + name;
    switch (server) {
    case SqlServer:
        statement = firstTable ? QStringLiteral("create table [%1] ([id] int identity(1,1),"
                                                "constraint pkid primary key (id),")
                                     .arg(name)
                               : QStringLiteral("create table [%1] ([id] int identity(1,1),"
                                                "constraint %2 primary key(id),")
                                     .arg(name, key);
        break;
    case Postgres:
        statement = QStringLiteral("create table %1 (id serial,constraint %2 primary key (id),")
                        .arg(name, key);
        break;
    case Sqlite:
        statement = QStringLiteral("create table %1 (id integer constraint %2 primary key "
                                   "autoincrement,")
                        .arg(name, key);
        break;
    }
    QStringList parts;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const QString column = server == SqlServer
                                   ? QLatin1Char('[') + columns.at(i) + QLatin1Char(']')
                                   : columns.at(i);
        parts << column + QLatin1Char(' ') + TypeText(types.at(i));
    }
    return statement + parts.join(QLatin1Char(',')) + QLatin1Char(')');
}

QStringList SqlDialect::IndexStatements(const QString& table) const
{
    if (table == StoreTables::Product) {
        QStringList statements = {
            IndexStatement(QStringLiteral("ix_product_serial"), table,
                           QStringLiteral("store_no,tab_type,product_serial")),
            IndexStatement(QStringLiteral("ix_product_kind_time"), table,
                           QStringLiteral("store_no,tab_type,product_time")),
            IndexStatement(QStringLiteral("ix_product_time"), table,
                           QStringLiteral("store_no,product_time"))};
        // A shop's sales returns of all time, which the sales statistics deduct, lie scattered
        // over its rows: this index also holds every other column their deduction reads (the
        // chain summary's select of them), so the server answers from it alone instead of
        // visiting most of the shop's table. Its order is that of the returns in the kind and date
        // index, by date and then as the rows were stored: the order they are deducted in. Only
        // PostgreSQL plans with the bound record kind, and so uses an index of the returns alone.
        if (server == Postgres)
            statements << IndexStatement(QStringLiteral("ix_product_returns"), table,
                                         QStringLiteral("store_no,product_time")) +
                              QStringLiteral(" include (tab_type,product_model,product_purchase,"
                                             "product_supply,product_num,product_total) "
                                             "where tab_type=3");
        return statements;
    }
    if (table == StoreTables::Finance)
        return {IndexStatement(QStringLiteral("ix_finance_serial"), table,
                               QStringLiteral("store_no,tab_type,ie_serial")),
                IndexStatement(QStringLiteral("ix_finance_kind_time"), table,
                               QStringLiteral("store_no,tab_type,ie_time")),
                IndexStatement(QStringLiteral("ix_finance_time"), table,
                               QStringLiteral("store_no,ie_time"))};
    return {};
}

QString SqlDialect::UniqueIndexStatement(const QString& index, const QString& table,
                                         const QString& columns) const
{
    return IndexStatement(index, table, columns, true);
}

QString SqlDialect::IndexStatement(const QString& index, const QString& table,
                                   const QString& columns, bool unique) const
{
    const QString kind = unique ? QStringLiteral("unique index") : QStringLiteral("index");
    if (server == SqlServer)
        return QStringLiteral("if not exists (select * from sys.indexes where name='%1') "
                              "create %4 %1 on [%2] (%3)")
            .arg(index, table, columns, kind);
    return QStringLiteral("create %4 if not exists %1 on %2 (%3)").arg(index, table, columns, kind);
}
