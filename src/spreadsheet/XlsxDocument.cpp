#include "XlsxDocument.h"

#include "XlsxSheetPatcher.h"
#include "XlsxSheetReader.h"

#include <QRegularExpression>

namespace
{

constexpr int MaxRows = 1048576;
constexpr int MaxColumns = 16384;

QString Damaged()
{
    return QStringLiteral("无法读取 Excel 工作簿(工作表内容损坏)");
}

const QString ContentTypesPart = QStringLiteral("[Content_Types].xml");

// The XML without the elements `element` whose attribute `attribute` matches `value` (a
// pattern); everything else stays byte for byte.
QByteArray WithoutElements(const QByteArray& xml, const QString& element, const QString& attribute,
                           const QString& value)
{
    const QRegularExpression pattern(
        QStringLiteral("<(?:[\\w.-]+:)?%1\\b[^>]*\\b%2\\s*=\\s*[\"']%3[\"'][^>]*"
                       "(?:/>|>\\s*</(?:[\\w.-]+:)?%1\\s*>)")
            .arg(element, attribute, value),
        QRegularExpression::CaseInsensitiveOption);
    return QString::fromUtf8(xml).remove(pattern).toUtf8();
}

// Drops the cached order of calculation, with its relationship and content type: it names the
// formula cells, and a formula cell overwritten by a text would make it stale.
bool DropCalcChain(const ZipPackage& package, const XlsxLayout& layout,
                   QHash<QString, QByteArray>& replaced, QSet<QString>& removed, QString& error)
{
    if (layout.calcChainPart.isEmpty())
        return true;
    QByteArray relationships;
    QByteArray types;
    if (!package.Read(layout.workbookRelationshipsPart, relationships, error) ||
        !package.Read(ContentTypesPart, types, error))
        return false;
    replaced.insert(layout.workbookRelationshipsPart,
                    WithoutElements(relationships, QStringLiteral("Relationship"),
                                    QStringLiteral("Type"), QStringLiteral("[^\"']*/calcChain")));
    replaced.insert(ContentTypesPart,
                    WithoutElements(types, QStringLiteral("Override"), QStringLiteral("PartName"),
                                    QRegularExpression::escape('/' + layout.calcChainPart)));
    removed.insert(layout.calcChainPart);
    return true;
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
    if (!XlsxSheetReader::ReadCells(document->sheetXml, strings, document->layout.dateSystem1904,
                                    document->cells)) {
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
    if (!XlsxSheetPatcher::Apply(sheetXml, writes, patched, error))
        return false;
    QHash<QString, QByteArray> replaced{{layout.sheetPart, patched}};
    QSet<QString> removed;
    if (!DropCalcChain(package, layout, replaced, removed, error) ||
        !package.CopyTo(path, replaced, error, removed))
        return false;
    sheetXml = patched;
    layout.calcChainPart.clear();
    return true;
}
