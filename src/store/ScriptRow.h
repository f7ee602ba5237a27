#pragma once

#include "Schema.h"

#include <QList>
#include <QString>
#include <QVariantList>
#include <array>

// One insert of a backup script, checked against the program's tables: the table, the positions
// of the named columns in that table, and the values ready to bind.
struct ScriptRow {
    int line = 0; // the line the statement starts on, counted from 1
    const TableSchema* table = nullptr;
    QList<int> columns;
    QVariantList values;

    // The value given for a column, or an invalid variant when the row does not name it.
    QVariant Value(const QString& column) const;
};

// Why a line of a script was not restored.
enum class SkipReason {
    NotInsert,     // any statement other than an insert
    ForeignTable,  // an insert into a table that is not the program's
    UnknownColumn, // a column the program's table does not have
    Malformed,     // broken syntax, a stray quote, counts that differ, more than one statement
    OtherStore,    // a row of another store, or of none
};

// The skipped lines of one restore: how many per reason and the first few line numbers.
class SkipReport
{
public:
    void Add(int line, SkipReason reason);
    qint64 Count() const;
    // One line per reason that occurred, e.g. "不是插入语句：2 行（第 3、9 行）".
    QString Text() const;

private:
    static constexpr int ShownLines = 5;
    struct Entry {
        qint64 count = 0;
        QList<int> lines;
    };
    std::array<Entry, 5> entries;
};
