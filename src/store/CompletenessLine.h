#pragma once

#include <QList>
#include <QString>
#include <QStringView>

// The last line of a backup: a comment with the number of rows written for each of the program's
// tables, written after every row, so that a file cut off or changed since can be told from a
// whole one. Two backups pasted into one file each keep their own line; a line counts the rows
// since the one before it.
//   -- backup complete: tb_sm_product_info=24, tb_sm_prestore_info=1, ...
namespace CompletenessLine
{

// Row counts by table, in the order of Schema::Tables().
using Counts = QList<qint64>;

QString Text(const Counts& counts);
// Whether a line (spaces around it left out) is meant as one: it may still not read.
bool IsOne(QStringView line);
// The counts of a completeness line; false when it cannot be read.
bool Read(QStringView line, Counts& counts);

} // namespace CompletenessLine
