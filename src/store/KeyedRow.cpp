#include "KeyedRow.h"

#include "StoreConnection.h"
#include "WriteTransaction.h"

#include <QSqlQuery>

QVariant StoredValue::Text(const QString& text)
{
    return text.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(text);
}

QVariant StoredValue::Date(const QString& text)
{
    return text.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(text);
}

bool StoredValue::IsNull(const QVariant& value)
{
    return value.isNull() || (value.typeId() == QMetaType::QString && value.toString().isNull());
}

QString KeyedRow::LockName(const QString& table, const QVariantList& keyValues)
{
    QStringList parts = {table};
    for (const QVariant& v : keyValues)
        parts << v.toString();
    return parts.join(QLatin1Char('\n'));
}

QString KeyedRow::LockName() const
{
    return LockName(table, KeyValues());
}

QVariantList KeyedRow::KeyValues() const
{
    QVariantList out;
    for (const QString& k : key)
        out << values.at(columns.indexOf(k));
    return out;
}

QString KeyedRow::Where() const
{
    return key.join(QLatin1String("=? and ")) + QLatin1String("=?");
}

QString KeyedRow::CountStatement() const
{
    return QStringLiteral("select count(*) from %1 where %2").arg(table, Where());
}

QString KeyedRow::UpdateStatement() const
{
    QStringList set;
    for (const QString& column : columns) {
        if (!key.contains(column))
            set << column + QLatin1String("=?");
    }
    return QStringLiteral("update %1 set %2 where %3")
        .arg(table, set.join(QLatin1Char(',')), Where());
}

QVariantList KeyedRow::UpdateValues() const
{
    QVariantList out;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (!key.contains(columns.at(i)))
            out << values.at(i);
    }
    return out << KeyValues();
}

QString KeyedRow::InsertStatement() const
{
    QStringList marks;
    marks.fill(QStringLiteral("?"), columns.size());
    return QStringLiteral("insert into %1(%2) values(%3)")
        .arg(table, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
}

// The key is locked first, so a concurrent save of the same key waits and then updates; and the
// key's rows are counted (or read) instead of trusting the update's affected-row count, which
// some drivers do not report (-1).
bool KeyedRow::Save(const StoreConnection& connection) const
{
    if (!connection.HasManager())
        return StoreConnection::Fail(QStringLiteral("数据库未连接"));
    return connection.InWriteTransaction([this, &connection](WriteTransaction& transaction) {
        return SaveIn(connection, transaction);
    });
}

bool KeyedRow::SaveIn(const StoreConnection& connection, WriteTransaction& transaction,
                      std::optional<QVariantList>* before) const
{
    if (!transaction.LockKey(LockName()))
        return StoreConnection::Fail(transaction.ErrorText());
    const QSqlDatabase db = connection.Database();
    bool stored = false;
    {
        QSqlQuery reading(db);
        const QString statement = before ? QStringLiteral("select %1 from %2 where %3")
                                               .arg(columns.join(QLatin1Char(',')), table, Where())
                                         : CountStatement();
        if (!connection.Run(reading, statement, KeyValues()))
            return false;
        if (before) {
            before->reset();
            if (reading.next()) {
                QVariantList values;
                for (qsizetype c = 0; c < columns.size(); ++c)
                    values << reading.value(int(c));
                *before = values;
                stored = true;
            }
        } else {
            stored = reading.next() && reading.value(0).toInt() > 0;
        }
    }
    QSqlQuery saving(db);
    return stored ? connection.Run(saving, UpdateStatement(), UpdateValues())
                  : connection.Run(saving, InsertStatement(), values);
}
