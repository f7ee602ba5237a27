#include "XlsReader.h"

#include "BiffCheck.h"
#include "CompoundFile.h"
#include "CompoundReader.h"
#include "SerialDate.h"

#include <QFile>
#include <QHash>
#include <QTemporaryFile>
#include <algorithm>
#include <freexl.h>

namespace
{

// freexl wants its handle closed even when opening failed.
class FreexlHandle
{
public:
    ~FreexlHandle() { freexl_close(handle); }
    const void* handle = nullptr;
};

// freexl hands out a shared string as a pointer into its string table: each of those texts is
// decoded once, whatever number of cells show it. Any other pointer is decoded where it is met.
class SharedTexts
{
public:
    explicit SharedTexts(const void* handle)
    {
        unsigned int count = 0;
        if (freexl_get_info(handle, FREEXL_BIFF_STRING_COUNT, &count) != FREEXL_OK)
            return;
        texts.reserve(qsizetype(std::min(count, 0x10000u)));
        for (unsigned int index = 0; index < count && index <= 0xffff; ++index) {
            const char* text = nullptr;
            if (freexl_get_SST_string(handle, (unsigned short)index, &text) == FREEXL_OK && text)
                texts.insert(text, QString::fromUtf8(text));
        }
    }

    QString Text(const char* utf8) const
    {
        const auto it = texts.constFind(utf8);
        return it == texts.constEnd() ? QString::fromUtf8(utf8) : it.value();
    }

private:
    QHash<const char*, QString> texts;
};

std::optional<CellValue> ToCell(const FreeXL_CellValue& cell, bool dateSystem1904,
                                const SharedTexts& shared)
{
    switch (cell.type) {
    case FREEXL_CELL_INT:
        return CellValue::Number(cell.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return CellValue::Number(cell.value.double_value);
    case FREEXL_CELL_TEXT:
        return CellValue::Text(QString::fromUtf8(cell.value.text_value));
    case FREEXL_CELL_SST_TEXT:
        return CellValue::Text(shared.Text(cell.value.text_value));
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME: {
        const QString text = QString::fromUtf8(cell.value.text_value);
        const auto day = SerialDate::FromText(text, dateSystem1904);
        if (!day)
            return CellValue::Text(text);
        const auto type = cell.type == FREEXL_CELL_DATE       ? CellValue::Type::Date
                          : cell.type == FREEXL_CELL_DATETIME ? CellValue::Type::DateTime
                                                              : CellValue::Type::Time;
        return CellValue::Number(*day, type);
    }
    default:
        return std::nullopt;
    }
}

bool ReadSheet(const void* handle, unsigned short index, bool dateSystem1904,
               const SharedTexts& shared, Sheet& sheet)
{
    const char* name = nullptr;
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_get_worksheet_name(handle, index, &name) != FREEXL_OK ||
        freexl_select_active_worksheet(handle, index) != FREEXL_OK ||
        freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK)
        return false;
    sheet.name = QString::fromUtf8(name);
    // The recorded dimensions may be hostile: beyond a million cells the array grows as needed.
    sheet.cells.Reserve(std::min<qsizetype>(qsizetype(rows) * columns, 1'000'000));
    for (unsigned int row = 0; row < rows; ++row) {
        for (unsigned short column = 0; column < columns; ++column) {
            FreeXL_CellValue cell;
            if (freexl_get_cell_value(handle, row, column, &cell) != FREEXL_OK)
                continue;
            if (auto value = ToCell(cell, dateSystem1904, shared))
                sheet.cells.Set(int(row) + 1, column + 1, std::move(*value));
        }
    }
    return true;
}

} // namespace

// freexl trusts the structures of the file it reads and can crash on damaged ones. The
// workbook stream is therefore taken out through libgsf, its record structure checked, and
// freexl reads it from a freshly built container.
bool XlsReader::Read(const QString& path, Workbook& workbook, QString& error)
{
    QString streamName;
    QByteArray stream;
    if (!CompoundReader::ReadWorkbook(path, streamName, stream, error))
        return false;
    if (!BiffCheck::IsSound(stream)) {
        error = QStringLiteral("无法读取 Excel 97-2003 文件(文件损坏)");
        return false;
    }
    QTemporaryFile clean;
    if (!clean.open() || !CompoundFile::Write(stream, qPrintable(streamName), clean.handle())) {
        error = QStringLiteral("无法读取 Excel 97-2003 文件(临时文件无法写入)");
        return false;
    }
    FreexlHandle xls;
    if (freexl_open(QFile::encodeName(clean.fileName()).constData(), &xls.handle) != FREEXL_OK ||
        !xls.handle) {
        error = QStringLiteral("无法读取 Excel 97-2003 文件(文件损坏或不是工作簿)");
        return false;
    }
    unsigned int password = 0;
    unsigned int dateMode = 0;
    unsigned int sheetCount = 0;
    if (freexl_get_info(xls.handle, FREEXL_BIFF_PASSWORD, &password) != FREEXL_OK ||
        freexl_get_info(xls.handle, FREEXL_BIFF_DATEMODE, &dateMode) != FREEXL_OK ||
        freexl_get_info(xls.handle, FREEXL_BIFF_SHEET_COUNT, &sheetCount) != FREEXL_OK) {
        error = QStringLiteral("无法读取 Excel 97-2003 文件(文件损坏)");
        return false;
    }
    if (password == FREEXL_BIFF_OBFUSCATED) {
        error = QStringLiteral("文件有密码保护,无法读取");
        return false;
    }
    workbook = Workbook();
    workbook.dateSystem1904 = dateMode == FREEXL_BIFF_DATEMODE_1904;
    const SharedTexts shared(xls.handle);
    for (unsigned int index = 0; index < sheetCount && index <= 0xffff; ++index) {
        Sheet sheet;
        if (!ReadSheet(xls.handle, (unsigned short)index, workbook.dateSystem1904, shared, sheet)) {
            error = QStringLiteral("无法读取 Excel 97-2003 文件(工作表损坏)");
            return false;
        }
        workbook.sheets.append(std::move(sheet));
    }
    return true;
}
