#include "StoredSerials.h"

#include "KeyedRow.h"

#include <QSqlError>

namespace
{

// The serials given to one lookup; a shorter list is padded with its first serial.
constexpr int LookupSerials = 500;

} // namespace

StoredSerials::StoredSerials(QSqlDatabase db, const TableSchema& table) : lookup(db)
{
    const QString& serial = table.columns.at(1);
    lookup.setForwardOnly(true);
    prepared = lookup.prepare(
        QStringLiteral("select tab_type, %2 from %1 where store_no=? and tab_type=? and %2 in (%3)")
            .arg(table.name, serial, QStringList(LookupSerials, QStringLiteral("?")).join(u',')));
}

QString StoredSerials::Error() const
{
    const QString error = lookup.lastError().text().trimmed();
    return error.isEmpty() ? QStringLiteral("数据库未连接") : error;
}

bool StoredSerials::Find(const QString& storeNo, const QHash<int, QStringList>& serialsByKind,
                         QSet<Key>& stored)
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
                stored.insert(Key(lookup.value(0).toInt(), lookup.value(1).toString()));
            }
        }
    }
    return true;
}
