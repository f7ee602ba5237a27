#pragma once

#include "Schema.h"

#include <QList>
#include <QString>
#include <QVariantList>
#include <array>

// One insert of a backup script, checked against the program's tables: the table, the positions
// of the named columns in that table, and the values ready to bind.
struct ScriptRow {
    int line = 0;        // the line the statement starts on, counted from 1
    int tableIndex = -1; // the table's position in Schema::Tables()
    const TableSchema* table = nullptr;
    QList<int> columns;
    QVariantList values;

    // The value given for a column (a position in the table's columns), or an invalid variant
    // when the row does not name it or its value was not kept.
    QVariant ValueOf(int column) const;
    // The row's store number: the value of the table's last column.
    QString StoreNo() const;
};

// Why a row of a script was not restored, although the file reads well.
enum class SkipReason {
    OtherStore, // a row of another store, or of none
    Repeated,   // a row whose key comes again later in the file: the later one is kept
};

// The skipped rows of one restore: how many per reason and the first few line numbers.
class SkipReport
{
public:
    void Add(int line, SkipReason reason);
    qint64 Count() const;
    // One line per reason that occurred, e.g. "不是本门店的数据：2 行（第 3、9 行）".
    QString Text() const;

private:
    static constexpr int ShownLines = 5;
    struct Entry {
        qint64 count = 0;
        QList<int> lines; // the smallest line numbers, in order
    };
    std::array<Entry, 2> entries;
};
