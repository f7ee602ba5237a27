#include "LedgerInserter.h"

#include "Schema.h"

#include <QSqlError>

namespace
{

QString Key(int kind, const QString& serial)
{
    return QString::number(kind) + QLatin1Char('|') + serial;
}

// Stored as the data store stores them: empty texts stay empty texts, an empty date is NULL.
QVariant Value(const QString& text, bool isDate)
{
    if (isDate && text.isEmpty())
        return QVariant(QMetaType::fromType<QString>());
    return text.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(text);
}

} // namespace

LedgerInserter::LedgerInserter(QSqlDatabase db, const QString& table, const QString& storeNo)
    : insert(db), storeNo(storeNo)
{
    QStringList columns;
    for (const TableSchema& t : Schema::Tables()) {
        if (t.name == table)
            columns = t.columns;
    }
    const QString serialColumn = columns.value(1);
    QSqlQuery known(db);
    known.setForwardOnly(true);
    known.prepare(
        QStringLiteral("select tab_type, %1 from %2 where store_no=?").arg(serialColumn, table));
    known.addBindValue(storeNo);
    if (columns.isEmpty() || !known.exec())
        return;
    while (known.next())
        existing.insert(Key(known.value(0).toInt(), known.value(1).toString()));

    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    ready = insert.prepare(
        QStringLiteral("insert into %1(%2) values(%3)")
            .arg(table, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
}

QString LedgerInserter::Error() const
{
    return insert.lastError().text();
}

bool LedgerInserter::Insert(const ProductRecord& r)
{
    QVariantList texts;
    for (int c = 0; c < ProductRecord::TextCount; ++c)
        texts << Value(r.Text(c), &r.Text(c) == &r.product_time);
    return InsertTexts(r.tab_type, r.product_serial, texts);
}

bool LedgerInserter::Insert(const FinanceRecord& r)
{
    QVariantList texts;
    for (int c = 0; c < FinanceRecord::TextCount; ++c)
        texts << Value(r.Text(c), false);
    return InsertTexts(r.tab_type, r.ie_serial, texts);
}

bool LedgerInserter::InsertTexts(int kind, const QString& serial, const QVariantList& texts)
{
    if (!ready)
        return false;
    if (existing.contains(Key(kind, serial)))
        return true;
    insert.addBindValue(kind);
    for (const QVariant& text : texts)
        insert.addBindValue(text);
    insert.addBindValue(storeNo);
    if (!insert.exec())
        return false;
    existing.insert(Key(kind, serial));
    return true;
}
