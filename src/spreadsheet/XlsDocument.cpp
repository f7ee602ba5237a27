#include "XlsDocument.h"

#include "BiffWriter.h"
#include "CompoundFile.h"
#include "XlsPatcher.h"
#include "XlsReader.h"

#include <QSaveFile>

XlsDocument::XlsDocument(Workbook workbook, XlsStructure structure, int sheetNumber)
    : workbook(std::move(workbook)), structure(std::move(structure)), sheet(sheetNumber - 1)
{
}

std::unique_ptr<XlsDocument> XlsDocument::Load(const QString& path, int sheetNumber, QString& error)
{
    QString streamName;
    QByteArray stream;
    QList<CompoundEntry> container;
    Workbook workbook;
    XlsStructure structure;
    if (!CompoundReader::ReadWorkbook(path, streamName, stream, error, &container) ||
        !XlsReader::ReadStream(stream, workbook, structure, error))
        return nullptr;
    if (sheetNumber < 1 || sheetNumber > workbook.sheets.size()) {
        error = QStringLiteral("工作簿没有第 %1 个工作表").arg(sheetNumber);
        return nullptr;
    }
    std::unique_ptr<XlsDocument> document(
        new XlsDocument(std::move(workbook), std::move(structure), sheetNumber));
    document->container = std::move(container);
    return document;
}

std::unique_ptr<XlsDocument> XlsDocument::Create(int sheetNumber)
{
    Workbook workbook;
    for (int i = 1; i <= sheetNumber; ++i)
        workbook.sheets.append({QStringLiteral("Sheet%1").arg(i), {}});
    return std::unique_ptr<XlsDocument>(new XlsDocument(std::move(workbook), {}, sheetNumber));
}

const SheetCells& XlsDocument::Cells() const
{
    return workbook.sheets[sheet].cells;
}

bool XlsDocument::Save(const QString& path, const CellWrites& writes, QString& error)
{
    if (!BiffWriter::CheckLimits(writes, error))
        return false;
    QByteArray stream;
    if (structure.stream.isEmpty()) {
        Workbook updated = workbook;
        SheetCells& cells = updated.sheets[sheet].cells;
        writes.ForEach([&cells](int row, int column, const QString& text) {
            cells.Set(row, column, CellValue::Text(text));
        });
        stream = BiffWriter::Write(updated);
    } else if (!XlsPatcher::Apply(structure, sheet, writes, stream, error)) {
        return false;
    }
    // The new workbook is read back before it replaces the file: it must read as a workbook,
    // and it is what the next save writes into.
    Workbook written;
    XlsStructure writtenStructure;
    QString unreadable;
    if (!XlsReader::ReadStream(stream, written, writtenStructure, unreadable)) {
        error = QStringLiteral("写入后的工作簿无法读回,文件 %1 未改动(%2)").arg(path, unreadable);
        return false;
    }
    const QByteArray file = CompoundFile::Build(stream, container);
    QSaveFile out(path);
    if (file.isEmpty() || !out.open(QIODevice::WriteOnly) || out.write(file) != file.size() ||
        !out.commit()) {
        error = QStringLiteral("无法写入文件 %1").arg(path);
        return false;
    }
    workbook = std::move(written);
    structure = std::move(writtenStructure);
    return true;
}
