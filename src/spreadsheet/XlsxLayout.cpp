#include "XlsxLayout.h"

#include <QDir>
#include <QHash>
#include <QXmlStreamReader>

namespace
{

struct Relationship {
    QString type;
    QString target;
};

QString Folder(const QString& part)
{
    const qsizetype slash = part.lastIndexOf('/');
    return slash < 0 ? QString() : part.left(slash + 1);
}

QString RelationshipsPart(const QString& part)
{
    return Folder(part) + QStringLiteral("_rels/") + part.mid(Folder(part).size()) +
           QStringLiteral(".rels");
}

QString Resolve(const QString& from, const QString& target)
{
    if (target.startsWith('/'))
        return target.mid(1);
    return QDir::cleanPath(Folder(from) + target);
}

QHash<QString, Relationship> ReadRelationships(const ZipPackage& package, const QString& part)
{
    QHash<QString, Relationship> relationships;
    QByteArray data;
    QString ignored;
    if (!package.Read(RelationshipsPart(part), data, ignored))
        return relationships;
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement ||
            xml.name() != QLatin1String("Relationship"))
            continue;
        const auto attributes = xml.attributes();
        relationships.insert(attributes.value(QLatin1String("Id")).toString(),
                             {attributes.value(QLatin1String("Type")).toString(),
                              Resolve(part, attributes.value(QLatin1String("Target")).toString())});
    }
    return relationships;
}

QString WorkbookPart(const ZipPackage& package)
{
    const auto relationships = ReadRelationships(package, QString());
    for (const Relationship& relationship : relationships) {
        if (relationship.type.endsWith(QLatin1String("/officeDocument")))
            return relationship.target;
    }
    return QStringLiteral("xl/workbook.xml");
}

// The relationship ids of the workbook's sheets, in tab order.
QStringList SheetIds(const QByteArray& workbook)
{
    QStringList ids;
    QXmlStreamReader xml(workbook);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement ||
            xml.name() != QLatin1String("sheet"))
            continue;
        for (const auto& attribute : xml.attributes()) {
            if (attribute.name() == QLatin1String("id") && !attribute.namespaceUri().isEmpty())
                ids.append(attribute.value().toString());
        }
    }
    return xml.hasError() ? QStringList() : ids;
}

bool DateSystem1904(const QByteArray& workbook)
{
    QXmlStreamReader xml(workbook);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement ||
            xml.name() != QLatin1String("workbookPr"))
            continue;
        const auto flag = xml.attributes().value(QLatin1String("date1904"));
        return flag == QLatin1String("1") || flag == QLatin1String("true");
    }
    return false;
}

} // namespace

bool XlsxLayout::Locate(const ZipPackage& package, int sheetNumber, XlsxLayout& layout,
                        QString& error)
{
    const QString workbookPart = WorkbookPart(package);
    QByteArray workbook;
    if (!package.Read(workbookPart, workbook, error))
        return false;
    const QStringList ids = SheetIds(workbook);
    if (sheetNumber < 1 || sheetNumber > ids.size()) {
        error = QStringLiteral("工作簿没有第 %1 个工作表").arg(sheetNumber);
        return false;
    }
    const auto relationships = ReadRelationships(package, workbookPart);
    layout.sheetPart = relationships.value(ids[sheetNumber - 1]).target;
    if (layout.sheetPart.isEmpty()) {
        error = QStringLiteral("工作簿结构损坏,找不到第 %1 个工作表").arg(sheetNumber);
        return false;
    }
    layout.sharedStringsPart.clear();
    layout.calcChainPart.clear();
    layout.workbookRelationshipsPart = RelationshipsPart(workbookPart);
    layout.dateSystem1904 = DateSystem1904(workbook);
    for (const Relationship& relationship : relationships) {
        if (relationship.type.endsWith(QLatin1String("/sharedStrings")))
            layout.sharedStringsPart = relationship.target;
        if (relationship.type.endsWith(QLatin1String("/calcChain")))
            layout.calcChainPart = relationship.target;
    }
    return true;
}
