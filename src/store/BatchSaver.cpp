#include "BatchSaver.h"

#include "BulkInserter.h"
#include "BulkUpdater.h"
#include "KeyedRow.h"
#include "LedgerColumns.h"
#include "RecordReader.h"
#include "StoreTables.h"
#include "StoredSerials.h"
#include "TableStatistics.h"
#include "WriteTransaction.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace
{

// Rows to one multi-row insert or update of a batch save, as far as the server's limits allow
// (PostgreSQL takes both by COPY instead). Measured with 50 000 goods rows when PostgreSQL took
// them by statement too: a few hundred rows to a statement cost several times more per row than a
// hundred (each new statement is planned for its values), a few dozen a little more.
constexpr int RowsPerStatement = 100;

// The rows [from, to) of a batch written inside one open transaction: stored keys to the
// updater, new ones to the inserter.
class BatchWrite
{
public:
    BatchWrite(const QSqlDatabase& db, const TableSchema& table, const QList<BatchSaver::Row>& rows,
               QList<BatchResult>& results)
        : table(table), rows(rows), results(results), inserter(db, RowsPerStatement),
          updater(db, table, {0, 1, int(table.columns.size()) - 1}, RowsPerStatement)
    {
        for (int c = 0; c < table.columns.size(); ++c)
            columns << c;
    }

    bool Run(qsizetype from, qsizetype to, QSet<StoredSerials::Key>& stored);
    QString Error() const { return error; }

private:
    bool Flush();
    bool InsertMissing();
    bool Refused(const QString& why)
    {
        error = why;
        return false;
    }

    const TableSchema& table;
    const QList<BatchSaver::Row>& rows;
    QList<BatchResult>& results;
    QList<int> columns;
    BulkInserter inserter;
    BulkUpdater updater;
    // The keys queued since the last flush.
    QSet<StoredSerials::Key> queued;
    QString error;
};

bool BatchWrite::Run(qsizetype from, qsizetype to, QSet<StoredSerials::Key>& stored)
{
    for (qsizetype i = from; i < to; ++i) {
        const BatchSaver::Row& row = rows.at(i);
        const StoredSerials::Key key(row.kind, row.serial);
        // A serial given again while its first record waits: that one is written first, so
        // that this one updates it.
        if (queued.contains(key) && !Flush())
            return false;
        queued.insert(key);
        if (stored.contains(key)) {
            results[i].outcome = BatchResult::Updated;
            if (!updater.Add(row.values, int(i)))
                return Refused(updater.Error());
            if (!InsertMissing())
                return false;
        } else {
            stored.insert(key);
            results[i].outcome = BatchResult::Inserted;
            if (!inserter.Add(table, columns, row.values, int(i)))
                return Refused(inserter.Error());
        }
    }
    return Flush();
}

bool BatchWrite::Flush()
{
    queued.clear();
    if (!updater.Flush())
        return Refused(updater.Error());
    return InsertMissing() && (inserter.Flush() || Refused(inserter.Error()));
}

// A row deleted since the lookup updates nothing and is inserted instead.
bool BatchWrite::InsertMissing()
{
    for (int i : updater.TakeMissing()) {
        results[i].outcome = BatchResult::Inserted;
        if (!inserter.Add(table, columns, rows.at(i).values, i))
            return Refused(inserter.Error());
    }
    return true;
}

} // namespace

template <class Record> BatchSaver::StoredRows BatchSaver::StoredRowsOf() const
{
    return [this](int kind, const QStringList& serials, QList<QVariantList>& rows) {
        QList<Record> found;
        if (!RecordReader(connection, storeNo).Stored(kind, serials, found))
            return false;
        for (const Record& r : std::as_const(found))
            rows << LedgerColumns::StoredValues(r, storeNo);
        return true;
    };
}

QList<BatchResult> BatchSaver::SaveProducts(const QList<ProductRecord>& records) const
{
    return Save(
        {Schema::Table(StoreTables::Product), StoredRowsOf<ProductRecord>()}, records.size(),
        [&](qsizetype i) {
            const ProductRecord& r = records.at(i);
            return Row{r.tab_type, r.product_serial, LedgerColumns::ProductRow(r, storeNo).values};
        });
}

QList<BatchResult> BatchSaver::SaveFinances(const QList<FinanceRecord>& records) const
{
    return Save(
        {Schema::Table(StoreTables::Finance), StoredRowsOf<FinanceRecord>()}, records.size(),
        [&](qsizetype i) {
            const FinanceRecord& r = records.at(i);
            return Row{r.tab_type, r.ie_serial, LedgerColumns::FinanceRow(r, storeNo).values};
        });
}

QList<BatchResult> BatchSaver::Save(const Target& target, qsizetype count, const RowAt& rowAt) const
{
    const TableSchema& table = target.table;
    QList<BatchResult> results(count);
    if (!connection.HasManager()) {
        for (BatchResult& r : results)
            r.error = QStringLiteral("数据库未连接");
        return results;
    }
    // The statement values of one transaction's records at a time, not of all of them.
    for (qsizetype from = 0; from < count; from += RowsPerTransaction) {
        const qsizetype to = std::min(count, from + RowsPerTransaction);
        QList<Row> rows;
        rows.reserve(to - from);
        for (qsizetype i = from; i < to; ++i)
            rows << rowAt(i);
        QList<BatchResult> part(rows.size());
        const bool connected = SaveRange(target, rows, 0, rows.size(), part);
        TableStatistics::NoteInserted(
            connection.Database(), table.name,
            std::count_if(part.cbegin(), part.cend(),
                          [](const BatchResult& r) { return r.outcome == BatchResult::Inserted; }));
        std::move(part.begin(), part.end(), results.begin() + from);
        if (!connected) {
            // Every further try would only wait for the server again.
            for (qsizetype i = from; i < count; ++i) {
                if (results[i].outcome == BatchResult::NotSaved)
                    results[i].error = StoreConnection::LastError();
            }
            break;
        }
    }
    return results;
}

// Stores rows [from, to) in one transaction; when the database refuses one of them, the halves
// are stored separately, down to the single refused record. False, with the rows not yet stored
// left NotSaved, as soon as the connection is lost and cannot be opened again.
bool BatchSaver::SaveRange(const Target& target, const QList<Row>& rows, qsizetype from,
                           qsizetype to, QList<BatchResult>& results) const
{
    bool connectionLost = false;
    if (SaveInOneTransaction(target, rows, from, to, results, connectionLost))
        return true;
    if (connectionLost) {
        // What the rolled-back transaction stored went with it.
        for (qsizetype i = from; i < to; ++i)
            results[i] = {BatchResult::NotSaved, StoreConnection::LastError()};
        return false;
    }
    if (to - from == 1) {
        results[from] = {BatchResult::Refused, StoreConnection::LastError()};
        return true;
    }
    const qsizetype middle = from + (to - from) / 2;
    return SaveRange(target, rows, from, middle, results) &&
           SaveRange(target, rows, middle, to, results);
}

// The keys of the rows the store holds among `serialsByKind`; with the updated rows kept, their
// values as well, read whole in the same selects.
bool BatchSaver::FindStored(const Target& target, const QHash<int, QStringList>& serialsByKind,
                            std::optional<StoredSerials>& lookup, QSet<StoredSerials::Key>& stored,
                            QList<QVariantList>& before) const
{
    if (!updatedRows) {
        lookup.emplace(connection.Database(), target.table);
        return lookup->Find(storeNo, serialsByKind, stored) ||
               StoreConnection::Fail(lookup->Error());
    }
    QList<QVariantList> found;
    for (auto it = serialsByKind.cbegin(); it != serialsByKind.cend(); ++it) {
        if (!target.storedRows(it.key(), it.value(), found))
            return false;
    }
    for (QVariantList& row : found) {
        // Kept once, should a serial be asked for twice.
        const StoredSerials::Key key(row.at(0).toInt(), row.at(1).toString());
        if (!stored.contains(key)) {
            stored.insert(key);
            before << std::move(row);
        }
    }
    return true;
}

bool BatchSaver::SaveInOneTransaction(const Target& target, const QList<Row>& rows, qsizetype from,
                                      qsizetype to, QList<BatchResult>& results,
                                      bool& connectionLost) const
{
    const TableSchema& table = target.table;
    // The rows' keys are locked as single saves lock them, so no other writer stores one of
    // them between the lookup and the insert.
    QStringList keys;
    QHash<int, QStringList> serialsByKind;
    for (qsizetype i = from; i < to; ++i) {
        const Row& row = rows.at(i);
        keys << KeyedRow::LockName(
            table.name, {row.kind, StoredValue::Text(row.serial), StoredValue::Text(storeNo)});
        serialsByKind[row.kind] << row.serial;
    }
    // The prepared statements outlive the transaction: a server refuses to release them inside
    // a failed one.
    std::optional<StoredSerials> lookup;
    std::optional<BatchWrite> write;
    QList<QVariantList> before;
    const auto work = [&](WriteTransaction& transaction) {
        if (!transaction.LockKeys(keys))
            return StoreConnection::Fail(transaction.ErrorText());
        QSet<StoredSerials::Key> stored;
        before.clear();
        if (!FindStored(target, serialsByKind, lookup, stored, before))
            return false;
        write.emplace(connection.Database(), table, rows, results);
        return write->Run(from, to, stored) || StoreConnection::Fail(write->Error());
    };
    if (!connection.InWriteTransaction(work, &connectionLost))
        return false;
    if (updatedRows)
        *updatedRows += before;
    return true;
}
