#include "LedgerSheet.h"

#include "ExcelEngine.h"
#include "SheetDate.h"

#include <QAbstractItemModel>
#include <QDate>
#include <QDateTime>

namespace
{

QString LedgerDate(const QVariant& value)
{
    QDate date;
    if (value.typeId() == QMetaType::QDate)
        date = value.toDate();
    else if (value.typeId() == QMetaType::QDateTime)
        date = value.toDateTime().date();
    else
        date = SheetDate::Read(value.toString(), false);
    if (!date.isValid())
        return value.toString();
    return QStringLiteral("%1K%2K%3")
        .arg(date.year(), 4, 10, QChar('0'))
        .arg(date.month(), 2, 10, QChar('0'))
        .arg(date.day(), 2, 10, QChar('0'));
}

} // namespace

int LedgerSheet::DateColumn(int kind)
{
    switch (kind) {
    case GoodsLedger:
        return 7;
    case MoneyLedger:
        return 3;
    default:
        return -1;
    }
}

bool LedgerSheet::WriteLedgerToSheet(ExcelEngine& sheet, int kind, const QAbstractItemModel* model)
{
    const int dateColumn = DateColumn(kind);
    return sheet.WriteEveryCellToSheet(model, [dateColumn](const QModelIndex& index) {
        const QVariant value = index.data(Qt::DisplayRole);
        return index.column() == dateColumn ? LedgerDate(value) : value.toString();
    });
}
