#pragma once

#include "ChangeEntry.h"
#include "FigureTable.h"

#include <QList>
#include <QString>
#include <QStringList>

// Which entries of the change history a reader wants to see.
struct HistoryFilter {
    QString from; // "yyyy-MM-dd"; empty: from the first entry
    QString to;   // "yyyy-MM-dd", that day included; empty: to the last
    QString user; // empty: anyone
    QString action;
    QString page; // as PageLabel names it
};

// The change history as the reader sees it: Chinese names of actions and pages, the values
// before and after under the pages' column heads, and the chain check's marks.
namespace HistoryTable
{

// The actions in the order the filter offers them.
const QStringList& Actions();
QString ActionLabel(const QString& action);
// The page of a ledger entry ("销售管理表"), or what else the entry changed.
QString PageLabel(const ChangeEntry& entry);
QString MarkLabel(ChangeChain::Mark mark);

// The values of `rows` (an entry's before or after) one row a line, "head：value" joined by
// "，". For an edit, only the columns whose value changed, of `rows` against `other`.
QString Readable(const ChangeEntry& entry, const QString& rows, const QString& other);

// The indexes of the entries that pass the filter, in order.
QList<int> Matching(const QList<ChangeEntry>& entries, const HistoryFilter& filter);

// One row per chosen entry: number, time, user, role, action, page, entry time, before, after,
// note, chain check.
FigureTable Table(const QList<ChangeEntry>& entries, const QList<ChangeChain::Mark>& marks,
                  const QList<int>& chosen);
inline constexpr int BeforeColumn = 7;
inline constexpr int AfterColumn = 8;
inline constexpr int NoteColumn = 9;
inline constexpr int CheckColumn = 10;

} // namespace HistoryTable
