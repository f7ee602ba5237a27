#pragma once

#include "Records.h"
#include "Schema.h"
#include "StoreConnection.h"
#include "StoredSerials.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QVariantList>
#include <functional>
#include <optional>

// How one record of a batch save ended.
struct BatchResult {
    // NotSaved: there was no connection to store it with (lost, and not to be opened again).
    enum Outcome { Inserted, Updated, Refused, NotSaved };
    Outcome outcome = NotSaved;
    QString error; // why the database refused the record, or why it could not be reached
};

// Stores many ledger records of one store, RowsPerTransaction to a transaction: a record whose
// (kind, serial) the store has already is updated, any other inserted (so a serial given twice
// updates the first). New records go through BulkInserter, stored ones through BulkUpdater, so
// neither costs a statement per record. A record the database refuses is left out and the others
// are stored without it; each record is stored whole or not at all. When the connection is lost
// and cannot be opened again, the save stops at once: that transaction's records and all after
// it are NotSaved. One result per record, in order.
class BatchSaver
{
public:
    static constexpr int RowsPerTransaction = 2000;

    BatchSaver(const StoreConnection& connection, const QString& storeNo)
        : connection(connection), storeNo(storeNo)
    {
    }

    QList<BatchResult> SaveProducts(const QList<ProductRecord>& records) const;
    QList<BatchResult> SaveFinances(const QList<FinanceRecord>& records) const;
    // Appends to `rows` the stored values (every column, in order) of each record the saves
    // update, as they were before, once its transaction is committed. nullptr: none kept.
    void KeepUpdatedRows(QList<QVariantList>* rows) { updatedRows = rows; }

    // What is stored of one record: its key and a value for every column of its table.
    struct Row {
        int kind = 0;
        QString serial;
        QVariantList values;
    };

private:
    using RowAt = std::function<Row(qsizetype)>;
    // Appends the stored values of the store's rows of `kind` among `serials` to `rows`.
    using StoredRows =
        std::function<bool(int kind, const QStringList& serials, QList<QVariantList>& rows)>;
    // The stored rows read as records of the table's kind.
    template <class Record> StoredRows StoredRowsOf() const;
    struct Target {
        const TableSchema& table;
        StoredRows storedRows; // read only when the updated rows are kept
    };
    QList<BatchResult> Save(const Target& target, qsizetype count, const RowAt& rowAt) const;
    bool SaveRange(const Target& target, const QList<Row>& rows, qsizetype from, qsizetype to,
                   QList<BatchResult>& results) const;
    bool SaveInOneTransaction(const Target& target, const QList<Row>& rows, qsizetype from,
                              qsizetype to, QList<BatchResult>& results,
                              bool& connectionLost) const;
    bool FindStored(const Target& target, const QHash<int, QStringList>& serialsByKind,
                    std::optional<StoredSerials>& lookup, QSet<StoredSerials::Key>& stored,
                    QList<QVariantList>& before) const;

    const StoreConnection& connection;
    QString storeNo;
    QList<QVariantList>* updatedRows = nullptr;
};
