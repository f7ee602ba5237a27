#include "XlsxDocument.h"

#include "XlsxSheetPatcher.h"
#include "XlsxSheetReader.h"

namespace
{

constexpr int MaxRows = 1048576;
constexpr int MaxColumns = 16384;

QString Damaged()
{
    return QStringLiteral("无法读取 Excel 工作簿(工作表内容损坏)");
}

} // namespace

std::unique_ptr<XlsxDocument> XlsxDocument::Load(const QString& path, int sheetNumber,
                                                 QString& error)
{
    std::unique_ptr<XlsxDocument> document(new XlsxDocument(path));
    if (!XlsxLayout::Locate(document->package, sheetNumber, document->layout, error) ||
        !document->package.Read(document->layout.sheetPart, document->sheetXml, error))
        return nullptr;
    QStringList strings;
    if (!document->layout.sharedStringsPart.isEmpty()) {
        QByteArray data;
        if (!document->package.Read(document->layout.sharedStringsPart, data, error))
            return nullptr;
        if (!XlsxSheetReader::ReadSharedStrings(data, strings)) {
            error = Damaged();
            return nullptr;
        }
    }
    if (!XlsxSheetReader::ReadCells(document->sheetXml, strings, document->cells)) {
        error = Damaged();
        return nullptr;
    }
    return document;
}

bool XlsxDocument::Save(const QString& path, const CellWrites& writes, QString& error)
{
    bool outside = false;
    writes.ForEach([&outside](int row, int column, const QString&) {
        outside = outside || row > MaxRows || column > MaxColumns;
    });
    if (outside) {
        error = QStringLiteral("Excel 工作表最多 %1 行、%2 列").arg(MaxRows).arg(MaxColumns);
        return false;
    }
    QByteArray patched;
    if (!XlsxSheetPatcher::Apply(sheetXml, writes, patched, error) ||
        !package.CopyTo(path, {{layout.sheetPart, patched}}, error))
        return false;
    sheetXml = patched;
    return true;
}
