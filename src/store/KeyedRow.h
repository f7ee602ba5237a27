#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <optional>

class StoreConnection;
class WriteTransaction;

// How texts reach a statement: empty texts are stored as empty texts, never as NULL; an empty
// date is stored as NULL, since servers with a real date column refuse an empty text.
namespace StoredValue
{
QVariant Text(const QString& text);
QVariant Date(const QString& text);
// A value the server stores as NULL: no value, or a null text, as the driver binds it.
bool IsNull(const QVariant& value);
} // namespace StoredValue

// A row saved by its key: every saved column in insert order, and which of them identify it.
struct KeyedRow {
    QString table;
    QStringList columns;
    QVariantList values;
    QStringList key;

    QVariantList KeyValues() const;
    QString CountStatement() const;
    QString UpdateStatement() const;
    // The values of the update: every column but the key's, then the key's.
    QVariantList UpdateValues() const;
    QString InsertStatement() const;
    // The name every writer of this row locks.
    QString LockName() const;
    // The name every writer of the row with these key values locks.
    static QString LockName(const QString& table, const QVariantList& keyValues);

    // Updates the row when its key is stored, inserts it otherwise, in one write transaction.
    bool Save(const StoreConnection& connection) const;
    // The same inside an open write transaction. With `before`, the stored row's values (every
    // column, in order) are read first and handed back; it stays empty when the key was new.
    bool SaveIn(const StoreConnection& connection, WriteTransaction& transaction,
                std::optional<QVariantList>* before = nullptr) const;

private:
    QString Where() const;
};
