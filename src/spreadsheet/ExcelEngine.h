#pragma once

#include "Workbook.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>

class QAbstractItemModel;
class QModelIndex;
class SheetDocument;

// Moves table data between item models (or string lists) and spreadsheet files. One engine
// serves one file operation: build it with a path, open a sheet, read or write, close it.
// Excel 97-2003 (.xls) and Office Open XML (.xlsx) files are read and written directly; a new
// file is always written as Excel 97-2003, whatever its name.
class ExcelEngine : public QObject
{
public:
    // The text a cell of the sheet gets for one cell of the model.
    using TextOfCell = std::function<QString(const QModelIndex&)>;

    explicit ExcelEngine(const QString& path);
    ~ExcelEngine() override;

    // Opens sheet `sheet` (1-based) of the file, or prepares a new workbook when the file does
    // not exist. There is no window to show, so `visible` changes nothing. False with
    // LastError() when the file is damaged, protected, not a workbook or lacks that sheet.
    bool Open(int sheet = 1, bool visible = false);

    // Insert the sheet's data rows (the first used row is the header) before the model's rows.
    bool ReadSheetToTable(QAbstractItemModel* model);
    // One string per data row: the cell texts joined by "+", a "+" inside a cell as "^^".
    bool ReadSheetToList(QStringList& list);

    // Header texts into row 1, the model's texts from row 2, then Save(); cells the model has
    // no value for stay as they are.
    bool WriteTableToSheet(const QAbstractItemModel* model);
    // Like WriteTableToSheet but every cell is written, empty ones too, with the text `text`
    // gives for it.
    bool WriteEveryCellToSheet(const QAbstractItemModel* model, const TextOfCell& text);
    // 1-based; the value is stored as text (never as a formula), an empty text clears the cell.
    void SetCellData(int row, int column, const QVariant& value);

    // Stores the written cells; does nothing when nothing changed since opening, so reading a
    // file never rewrites it. False with LastError() when the file could not be written.
    bool Save();
    // Saves, then closes. Returns what Save returned.
    bool Close();

    bool IsOpen() const { return open; }
    bool IsValid() const { return valid; }
    int GetRowCount() const { return rowCount; }
    int GetColumnCount() const { return columnCount; }
    // Whether the open workbook counts the day numbers of its dates from 1904 instead of 1900.
    bool DateSystem1904() const;
    QString LastError() const { return error; }

private:
    QString CellText(int row, int column) const;
    void WriteHeader(const QAbstractItemModel* model);

    QString filePath;
    int sheetIndex = 0;
    int rowCount = 0;
    int columnCount = 0;
    int firstRow = 0;
    int firstColumn = 0;
    bool open = false;
    bool valid = false;
    bool newFile = false;
    bool saved = false;
    std::unique_ptr<SheetDocument> document;
    CellWrites writes;
    QString error;
};
