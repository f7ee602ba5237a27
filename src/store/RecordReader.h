#pragma once

#include "Records.h"
#include "StoreConnection.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

// Reads the records of a period of one store: time modes of Period (1 one day, 2..4 a period
// around the query date, 5 every date), kind -1 for every kind. On SQLite the rows are read
// through the library itself, each value taken once as the text SQLite holds.
class RecordReader
{
public:
    RecordReader(const StoreConnection& connection, const QString& storeNo)
        : connection(connection), storeNo(storeNo)
    {
    }

    // Appends the records to `out`; on failure `out` keeps what it held.
    bool Products(int timeMode, int kind, const QString& startDate, const QString& queryDate,
                  QList<ProductRecord>& out) const;
    bool Finances(int timeMode, int kind, const QString& startDate, const QString& queryDate,
                  QList<FinanceRecord>& out) const;
    // As Products, reading only the record texts at positions `texts` (0-18); the others stay
    // empty. For figures that need a few columns of many rows.
    bool ProductTexts(int timeMode, int kind, const QString& startDate, const QString& queryDate,
                      const QList<int>& texts, QList<ProductRecord>& out) const;
    // As Finances, reading only the record texts at positions `texts` (0-8).
    bool FinanceTexts(int timeMode, int kind, const QString& startDate, const QString& queryDate,
                      const QList<int>& texts, QList<FinanceRecord>& out) const;

    // A large PostgreSQL answer's memory is given back to the system once its rows are records.
    // A caller reading many large answers one after another keeps it for the next instead
    // (giving it back only to take it again costs more than the reading) and gives it back
    // once, with GiveBackFreedMemory, when it is done.
    void KeepFreedMemory() { giveBack = false; }
    static void GiveBackFreedMemory();

    // Appends the store's records of `kind` whose serials are among `serials`, a few hundred to
    // a select.
    bool Stored(int kind, const QStringList& serials, QList<ProductRecord>& out) const;
    bool Stored(int kind, const QStringList& serials, QList<FinanceRecord>& out) const;

private:
    template <class Record>
    bool StoredIn(const QString& table, const QString& columns, const QString& serialColumn,
                  int dateText, int kind, const QStringList& serials, QList<Record>& out) const;
    // What a period's select of one ledger reads: its table, the columns, the date column and the
    // record text that holds the date.
    struct PeriodSelect {
        QString table;
        QString columns;
        QString dateColumn;
        int dateText;
    };
    // Appends the records of `kind` (-1: every kind) in the period of `timeMode`.
    template <class Record>
    bool InPeriod(const PeriodSelect& select, int timeMode, int kind, const QString& startDate,
                  const QString& queryDate, const QList<int>& texts, QList<Record>& out) const;
    // Reads the rows into the record texts at positions `texts`, in select order after the kind.
    template <class Record>
    bool Read(const QString& statement, const QVariantList& values, const QList<int>& texts,
              int dateText, QList<Record>& out) const;

    const StoreConnection& connection;
    QString storeNo;
    bool giveBack = true;
};
