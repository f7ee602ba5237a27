#include "ExcelEngine.h"

#include "SheetDocument.h"

#include <QAbstractItemModel>
#include <algorithm>
#include <vector>

namespace
{

// Reading hands out every cell of the used range, empty ones too: a legal but enormous range
// (cells at A1 and XFD1048576) would need far more memory than any table of data ever does.
constexpr qint64 MaxUsedCells = 5'000'000;

// One line of a list, put together in a buffer that serves every line: a line is made of many
// short pieces, and appending each to a string costs more than the characters it adds.
class ListLine
{
public:
    void Separate(int count)
    {
        std::fill_n(Room(count), count, u'+');
        used += count;
    }

    // "+" separates the cells, so a "+" of the cell becomes "^^".
    void AppendCell(const CellValue& value)
    {
        const QStringView cell = value.DisplayView(number);
        char16_t* const start = Room(2 * cell.size());
        char16_t* out = start;
        for (const QChar c : cell) {
            if (c == u'+') {
                *out++ = u'^';
                *out++ = u'^';
            } else {
                *out++ = c.unicode();
            }
        }
        used += out - start;
    }

    QString Take()
    {
        const QString line(reinterpret_cast<const QChar*>(buffer.data()), used);
        used = 0;
        return line;
    }

private:
    // Where `size` more characters go.
    char16_t* Room(qsizetype size)
    {
        if (used + size > qsizetype(buffer.size()))
            buffer.resize(size_t(2 * (used + size)));
        return buffer.data() + used;
    }

    std::vector<char16_t> buffer;
    qsizetype used = 0;
    CellValue::TextBuffer number;
};

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
    ListLine line;
    int lineRow = firstRow + 1;
    int fields = 1;
    const auto finishLinesBefore = [&](int row) {
        for (; lineRow < row; ++lineRow) {
            line.Separate(columnCount - fields);
            list.append(line.Take());
            fields = 1;
        }
    };
    document->Cells().ForEach([&](int row, int column, const CellValue& value) {
        if (row <= firstRow)
            return;
        finishLinesBefore(row);
        const int field = column - firstColumn + 1;
        line.Separate(field - fields);
        fields = field;
        line.AppendCell(value);
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
