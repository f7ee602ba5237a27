#include "StoredSerials.h"

#include "KeyedRow.h"

#include <QSqlError>

namespace
{

// The serials given to one lookup; a shorter list is padded with its first serial.
constexpr int LookupSerials = 500;

} // namespace

StoredSerials::StoredSerials(QSqlDatabase db, const TableSchema& table, bool wholeRows)
    : lookup(db), columns(wholeRows ? int(table.columns.size()) : 0)
{
    const QString& serial = table.columns.at(1);
    // The kind and the serial come first either way.
    const QString selected =
        wholeRows ? table.columns.join(u',') : QStringLiteral("tab_type, ") + serial;
    lookup.setForwardOnly(true);
    prepared = lookup.prepare(
        QStringLiteral("select %4 from %1 where store_no=? and tab_type=? and %2 in (%3)")
            .arg(table.name, serial, QStringList(LookupSerials, QStringLiteral("?")).join(u','),
                 selected));
}

QString StoredSerials::Error() const
{
    const QString error = lookup.lastError().text().trimmed();
    return error.isEmpty() ? QStringLiteral("数据库未连接") : error;
}

bool StoredSerials::Find(const QString& storeNo, const QHash<int, QStringList>& serialsByKind,
                         QSet<Key>& stored, QList<QVariantList>* rows)
{
    if (!prepared)
        return false;
    for (auto it = serialsByKind.cbegin(); it != serialsByKind.cend(); ++it) {
        const QStringList& serials = it.value();
        for (qsizetype first = 0; first < serials.size(); first += LookupSerials) {
            lookup.bindValue(0, StoredValue::Text(storeNo));
            lookup.bindValue(1, it.key());
            for (int k = 0; k < LookupSerials; ++k) {
                const qsizetype at = first + k < serials.size() ? first + k : first;
                lookup.bindValue(2 + k, StoredValue::Text(serials.at(at)));
            }
            if (!lookup.exec())
                return false;
            while (lookup.next()) {
                const Key key(lookup.value(0).toInt(), lookup.value(1).toString());
                // Kept once, should a serial be asked for twice.
                if (stored.contains(key))
                    continue;
                stored.insert(key);
                if (rows && columns > 0) {
                    QVariantList row;
                    for (int c = 0; c < columns; ++c)
                        row << lookup.value(c);
                    *rows << row;
                }
            }
        }
    }
    return true;
}
