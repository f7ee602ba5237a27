#include "ExcelEngine.h"

#include "SheetDocument.h"

#include <QAbstractItemModel>

namespace
{

// Reading hands out every cell of the used range, empty ones too: a legal but enormous range
// (cells at A1 and XFD1048576) would need far more memory than any table of data ever does.
constexpr qint64 MaxUsedCells = 5'000'000;

// A cell of a list line: "+" separates cells there, so a "+" of the cell becomes "^^".
void AppendListCell(QString& line, const CellValue& value)
{
    const QString text = value.Display();
    qsizetype from = 0;
    for (qsizetype plus = text.indexOf('+'); plus >= 0; plus = text.indexOf('+', from)) {
        line.append(QStringView(text).mid(from, plus - from)).append(QLatin1String("^^"));
        from = plus + 1;
    }
    line.append(QStringView(text).mid(from));
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
    if (qint64(used.rowCount) * used.columnCount > MaxUsedCells) {
        error = QStringLiteral("工作表的使用范围过大(%1 行 × %2 列,超过 %3 个单元格),无法读取")
                    .arg(used.rowCount)
                    .arg(used.columnCount)
                    .arg(MaxUsedCells);
        document.reset();
        return false;
    }
    firstRow = used.firstRow;
    firstColumn = used.firstColumn;
    rowCount = used.rowCount;
    columnCount = used.columnCount;
    // A new workbook has to be stored even if nothing is written into it.
    saved = !newFile;
    open = true;
    error.clear();
    return true;
}

bool ExcelEngine::DateSystem1904() const
{
    return document && document->DateSystem1904();
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
    // One pass over the cells in row order builds each line in place; rows and cells without
    // a value still get their (empty) fields.
    list.reserve(list.size() + rowCount - 1);
    QString line;
    int lineRow = firstRow + 1;
    int fields = 1;
    const auto separate = [&line](int count) {
        for (int i = 0; i < count; ++i)
            line.append(QLatin1Char('+'));
    };
    const auto finishLinesBefore = [&](int row) {
        for (; lineRow < row; ++lineRow) {
            separate(columnCount - fields);
            const qsizetype length = line.size();
            list.append(std::move(line));
            // Lines are alike in length: one allocation per line.
            line = QString();
            line.reserve(length + 16);
            fields = 1;
        }
    };
    document->Cells().ForEach([&](int row, int column, const CellValue& value) {
        if (row <= firstRow)
            return;
        finishLinesBefore(row);
        const int field = column - firstColumn + 1;
        separate(field - fields);
        fields = field;
        AppendListCell(line, value);
    });
    finishLinesBefore(firstRow + rowCount);
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

bool ExcelEngine::WriteEveryCellToSheet(const QAbstractItemModel* model, const TextOfCell& text)
{
    if (!open || !model)
        return false;
    WriteHeader(model);
    for (int r = 0; r < model->rowCount(); ++r) {
        for (int c = 0; c < model->columnCount(); ++c)
            SetCellData(r + 2, c + 1, text(model->index(r, c)));
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
    if (!saved && !document->Save(filePath, writes, error))
        return false;
    writes.Clear();
    saved = true;
    error.clear();
    return true;
}

bool ExcelEngine::Close()
{
    const bool result = !open || Save();
    if (!open)
        error.clear();
    document.reset();
    writes.Clear();
    open = valid = newFile = false;
    saved = true;
    return result;
}
