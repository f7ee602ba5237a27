#include "ExcelEngine.h"

#include "SheetDocument.h"

#include <QAbstractItemModel>
#include <QDate>
#include <QDateTime>

namespace
{

int DateColumn(int kind)
{
    switch (kind) {
    case ExcelEngine::GoodsLedger:
        return 7;
    case ExcelEngine::MoneyLedger:
        return 3;
    default:
        return -1;
    }
}

QString LedgerDate(const QVariant& value)
{
    QDate date;
    if (value.typeId() == QMetaType::QDate)
        date = value.toDate();
    else if (value.typeId() == QMetaType::QDateTime)
        date = value.toDateTime().date();
    else
        date = QDate::fromString(value.toString().trimmed().left(10), QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        return value.toString();
    return QStringLiteral("%1K%2K%3")
        .arg(date.year(), 4, 10, QChar('0'))
        .arg(date.month(), 2, 10, QChar('0'))
        .arg(date.day(), 2, 10, QChar('0'));
}

} // namespace

ExcelEngine::ExcelEngine(const QString& path) : filePath(path) {}

ExcelEngine::~ExcelEngine()
{
    if (open)
        Close();
}

bool ExcelEngine::Open(int sheet, bool)
{
    if (open)
        Close();
    sheetIndex = sheet;
    valid = true;
    error.clear();
    if (filePath.isEmpty()) {
        error = QStringLiteral("没有指定文件");
        return false;
    }
    document = SheetDocument::Open(filePath, sheet, newFile, error);
    if (!document)
        return false;
    const UsedRange used = document->Cells().Used();
    firstRow = used.firstRow;
    firstColumn = used.firstColumn;
    rowCount = used.rowCount;
    columnCount = used.columnCount;
    // A new workbook has to be stored even if nothing is written into it.
    saved = !newFile;
    open = true;
    return true;
}

QString ExcelEngine::CellText(int row, int column) const
{
    const CellValue* value = document->Cells().Find(row, column);
    return value ? value->Display() : QString();
}

bool ExcelEngine::ReadSheetToTable(QAbstractItemModel* model)
{
    if (!model)
        return false;
    const int dataRows = rowCount - 1;
    if (!open || dataRows <= 0)
        return true;
    if (!model->insertRows(0, dataRows))
        return false;
    const int columns = std::min(columnCount, model->columnCount());
    for (int k = 0; k < dataRows; ++k) {
        for (int c = 0; c < columns; ++c)
            model->setData(model->index(k, c), CellText(firstRow + 1 + k, firstColumn + c));
    }
    return true;
}

bool ExcelEngine::ReadSheetToList(QStringList& list)
{
    if (!open || rowCount <= 1)
        return true;
    // One pass over the cells in row order fills a row of texts at a time.
    QList<QStringList> rows(rowCount - 1, QStringList(columnCount));
    document->Cells().ForEach([&](int row, int column, const CellValue& value) {
        if (row > firstRow)
            rows[row - firstRow - 1][column - firstColumn] =
                value.Display().replace('+', QLatin1String("^^"));
    });
    for (const QStringList& cells : rows)
        list.append(cells.join('+'));
    return true;
}

void ExcelEngine::WriteHeader(const QAbstractItemModel* model)
{
    for (int c = 0; c < model->columnCount(); ++c) {
        const QVariant header = model->headerData(c, Qt::Horizontal, Qt::DisplayRole);
        if (header.isValid())
            SetCellData(1, c + 1, header);
    }
}

bool ExcelEngine::WriteTableToSheet(const QAbstractItemModel* model)
{
    if (!open || !model)
        return false;
    WriteHeader(model);
    for (int r = 0; r < model->rowCount(); ++r) {
        for (int c = 0; c < model->columnCount(); ++c) {
            const QVariant value = model->index(r, c).data(Qt::DisplayRole);
            if (value.isValid())
                SetCellData(r + 2, c + 1, value);
        }
    }
    return Save();
}

QString ExcelEngine::LedgerText(int kind, const QModelIndex& index) const
{
    const QVariant value = index.data(Qt::DisplayRole);
    if (index.column() == DateColumn(kind))
        return LedgerDate(value);
    return value.toString();
}

bool ExcelEngine::WriteLedgerToSheet(int kind, const QAbstractItemModel* model)
{
    if (!open || !model)
        return false;
    WriteHeader(model);
    for (int r = 0; r < model->rowCount(); ++r) {
        for (int c = 0; c < model->columnCount(); ++c)
            SetCellData(r + 2, c + 1, LedgerText(kind, model->index(r, c)));
    }
    return Save();
}

void ExcelEngine::SetCellData(int row, int column, const QVariant& value)
{
    if (!open || row < 1 || column < 1)
        return;
    writes.Put(row, column, value.toString());
    saved = false;
}

bool ExcelEngine::Save()
{
    if (!document) {
        error = QStringLiteral("没有打开的工作簿");
        return false;
    }
    if (saved)
        return true;
    if (!document->Save(filePath, writes, error))
        return false;
    writes.Clear();
    saved = true;
    return true;
}

bool ExcelEngine::Close()
{
    const bool result = !open || Save();
    document.reset();
    writes.Clear();
    open = valid = newFile = false;
    saved = true;
    return result;
}
