#include "LedgerSheetRows.h"

#include "LedgerSheet.h"
#include "RowAmounts.h"
#include "Schema.h"
#include "SheetDate.h"
#include "StoreTables.h"

#include <QRegularExpression>

namespace
{

const int MoneyAmountColumn = 2;

// The most characters each text of a record of `table` may hold, from the table's column types
// ("VARCHAR(50)"); -1 where the column has no such bound. Text c is the column after tab_type.
QList<int> TextLimits(const QString& table)
{
    static const QRegularExpression bounded(QStringLiteral(R"(^VARCHAR\((\d+)\)$)"),
                                            QRegularExpression::CaseInsensitiveOption);
    QList<int> limits;
    for (const TableSchema& t : Schema::Tables()) {
        if (t.name != table)
            continue;
        for (qsizetype i = 1; i < t.types.size(); ++i) {
            const QRegularExpressionMatch m = bounded.match(t.types.at(i));
            limits << (m.hasMatch() ? m.captured(1).toInt() : -1);
        }
    }
    return limits;
}

} // namespace

LedgerSheetRows::LedgerSheetRows(int kind, SerialMaker newSerial, bool dateSystem1904)
    : kind(kind), newSerial(std::move(newSerial)), dateSystem1904(dateSystem1904)
{
}

bool LedgerSheetRows::IsNewRecord(const QStringList& cells)
{
    return cells.value(0).isEmpty();
}

bool LedgerSheetRows::ToRecord(const QStringList& cells, ProductRecord& record,
                               QString& reason) const
{
    return Fill(cells, StoreTables::Product, LedgerSheet::DateColumn(LedgerSheet::GoodsLedger),
                record, reason);
}

bool LedgerSheetRows::ToRecord(const QStringList& cells, FinanceRecord& record,
                               QString& reason) const
{
    return Fill(cells, StoreTables::Finance, LedgerSheet::DateColumn(LedgerSheet::MoneyLedger),
                record, reason);
}

template <class Record>
bool LedgerSheetRows::Fill(const QStringList& cells, const QString& table, int dateColumn,
                           Record& record, QString& reason) const
{
    bool blank = true;
    for (const QString& cell : cells)
        blank = blank && cell.trimmed().isEmpty();
    if (blank) {
        reason = QStringLiteral("空行");
        return false;
    }
    if (cells.size() < Record::TextCount) {
        reason =
            QStringLiteral("只有 %1 列,至少需要 %2 列").arg(cells.size()).arg(Record::TextCount);
        return false;
    }
    static const QList<int> goodsLimits = TextLimits(StoreTables::Product);
    static const QList<int> moneyLimits = TextLimits(StoreTables::Finance);
    const QList<int>& limits = table == StoreTables::Product ? goodsLimits : moneyLimits;
    Record read;
    read.tab_type = kind;
    for (int c = 0; c < Record::TextCount; ++c) {
        QString text = cells.at(c);
        if (c == dateColumn) {
            // Queries find a record by its date text: only a real day is stored, in one form.
            const QDate date = SheetDate::Read(text, dateSystem1904);
            if (!date.isValid()) {
                reason = text.trimmed().isEmpty()
                             ? QStringLiteral("第 %1 列没有日期").arg(c + 1)
                             : QStringLiteral("第 %1 列不是日期: %2").arg(c + 1).arg(text);
                return false;
            }
            text = date.toString(QStringLiteral("yyyy-MM-dd"));
        }
        const int limit = limits.value(c, -1);
        if (limit >= 0 && text.size() > limit) {
            reason = QStringLiteral("第 %1 列有 %2 个字符,超过该列的 %3 个字符")
                         .arg(c + 1)
                         .arg(text.size())
                         .arg(limit);
            return false;
        }
        read.Text(c) = std::move(text);
    }
    reason = NumberProblem(read);
    if (!reason.isEmpty())
        return false;
    // The entry time identifies the stored record: a line without one is a new record.
    if (IsNewRecord(cells))
        read.Text(0) = newSerial();
    record = std::move(read);
    return true;
}

QString LedgerSheetRows::NumberProblem(const ProductRecord& record)
{
    ProductRecord checked = record;
    const QList<int> rejected = RowAmounts::Complete(checked).rejected;
    if (rejected.isEmpty())
        return QString();
    const int c = rejected.first();
    return QStringLiteral("第 %1 列不是数字: %2").arg(c + 1).arg(record.Text(c));
}

QString LedgerSheetRows::NumberProblem(const FinanceRecord& record)
{
    FinanceRecord checked = record;
    if (!RowAmounts::CheckMoneyAmount(checked))
        return QString();
    return QStringLiteral("第 %1 列不是数字: %2").arg(MoneyAmountColumn + 1).arg(record.ie_sum);
}
