#include "XlsxSheetPatcher.h"

#include "XlsxText.h"

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <map>

namespace
{

struct ExistingCell {
    QString xml;
    QString style;
};

struct Row {
    QString openTag; // without its closing "/>" or ">"
    std::map<int, ExistingCell> cells;
};

// The parsed cell table and the places of the parts that get rewritten.
struct SheetLayout {
    QString prefix;
    qsizetype dimensionStart = -1;
    qsizetype dimensionEnd = -1;
    qsizetype dataStart = -1;
    qsizetype dataEnd = -1;
    std::map<int, Row> rows;
};

QString XmlText(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (c == '&')
            escaped += QLatin1String("&amp;");
        else if (c == '<')
            escaped += QLatin1String("&lt;");
        else if (c == '>')
            escaped += QLatin1String("&gt;");
        else if (c == '\r')
            escaped += QLatin1String("&#13;");
        else
            escaped += c;
    }
    return escaped;
}

qsizetype TagStart(const QString& source, qsizetype end)
{
    return source.lastIndexOf('<', end - 1);
}

// Gives an element an r attribute where the file left its position implicit.
QString WithReference(QString xml, QStringView qualifiedName, const QString& reference)
{
    return xml.insert(1 + qualifiedName.size(), QStringLiteral(" r=\"%1\"").arg(reference));
}

QString CellXml(const QString& prefix, int row, int column, const QString& text,
                const QString& style)
{
    const QString styleAttribute =
        style.isEmpty() ? QString() : QStringLiteral(" s=\"%1\"").arg(style);
    return QStringLiteral("<%1c r=\"%2\"%3 t=\"inlineStr\"><%1is><%1t xml:space=\"preserve\">%4"
                          "</%1t></%1is></%1c>")
        .arg(prefix, XlsxText::Reference(row, column), styleAttribute,
             XmlText(XlsxText::Escape(text)));
}

bool ReadRow(QXmlStreamReader& xml, const QString& source, int number, Row& row)
{
    int column = 0;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("row"))
            return true;
        if (token != QXmlStreamReader::StartElement || xml.name() != QLatin1String("c"))
            continue;
        const qsizetype start = TagStart(source, xml.characterOffset());
        const auto qualifiedName = xml.qualifiedName().toString();
        const auto attributes = xml.attributes();
        const auto reference = attributes.value(QLatin1String("r"));
        int cellRow = number;
        int cellColumn = column + 1;
        if (!reference.isEmpty() &&
            (!XlsxText::ParseReference(reference, cellRow, cellColumn) || cellRow != number))
            return false;
        column = cellColumn;
        ExistingCell cell;
        cell.style = attributes.value(QLatin1String("s")).toString();
        const bool implicit = reference.isEmpty();
        xml.skipCurrentElement();
        cell.xml = source.mid(start, xml.characterOffset() - start);
        if (implicit)
            cell.xml =
                WithReference(cell.xml, qualifiedName, XlsxText::Reference(number, cellColumn));
        row.cells[cellColumn] = cell;
    }
    return false;
}

bool Parse(const QString& source, SheetLayout& layout)
{
    QXmlStreamReader xml(source);
    int number = 0;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement && xml.name() == QLatin1String("dimension")) {
            layout.dimensionStart = TagStart(source, xml.characterOffset());
            xml.skipCurrentElement();
            layout.dimensionEnd = xml.characterOffset();
        } else if (token == QXmlStreamReader::StartElement &&
                   xml.name() == QLatin1String("sheetData")) {
            layout.dataStart = TagStart(source, xml.characterOffset());
            layout.prefix =
                xml.prefix().isEmpty() ? QString() : xml.prefix().toString() + QLatin1Char(':');
        } else if (token == QXmlStreamReader::EndElement &&
                   xml.name() == QLatin1String("sheetData")) {
            layout.dataEnd = xml.characterOffset();
        } else if (token == QXmlStreamReader::StartElement && xml.name() == QLatin1String("row") &&
                   layout.dataStart >= 0 && layout.dataEnd < 0) {
            const qsizetype start = TagStart(source, xml.characterOffset());
            const QString tag = source.mid(start, xml.characterOffset() - start);
            bool ok = false;
            const int given = xml.attributes().value(QLatin1String("r")).toInt(&ok);
            number = ok ? given : number + 1;
            if (number < 1 || layout.rows.count(number))
                return false;
            Row& row = layout.rows[number];
            row.openTag = tag.endsWith(QLatin1String("/>")) ? tag.chopped(2) : tag.chopped(1);
            if (!ok)
                row.openTag =
                    WithReference(row.openTag, xml.qualifiedName(), QString::number(number));
            if (!ReadRow(xml, source, number, row))
                return false;
        }
    }
    return !xml.hasError() && layout.dataStart >= 0 && layout.dataEnd > layout.dataStart &&
           layout.dimensionStart < layout.dataStart;
}

void Merge(const CellWrites& writes, const QString& prefix, std::map<int, Row>& rows)
{
    writes.ForEach([&](int rowNumber, int column, const QString& text) {
        auto rowIt = rows.find(rowNumber);
        if (rowIt == rows.end()) {
            if (text.isEmpty())
                return;
            rowIt = rows.emplace(rowNumber, Row()).first;
            rowIt->second.openTag = QStringLiteral("<%1row r=\"%2\"").arg(prefix).arg(rowNumber);
        }
        auto& cells = rowIt->second.cells;
        if (text.isEmpty()) {
            cells.erase(column);
            return;
        }
        const auto old = cells.find(column);
        const QString style = old == cells.end() ? QString() : old->second.style;
        cells[column] = {CellXml(prefix, rowNumber, column, text, style), style};
    });
}

QString SheetData(const SheetLayout& layout)
{
    static const QRegularExpression spans(QStringLiteral("\\s+spans\\s*=\\s*(\"[^\"]*\"|'[^']*')"));
    QString data = QStringLiteral("<%1sheetData>").arg(layout.prefix);
    for (const auto& [number, row] : layout.rows) {
        // The recorded column span of a row is a hint that no longer holds after writing.
        data += QString(row.openTag).remove(spans) + QLatin1Char('>');
        for (const auto& cell : row.cells)
            data += cell.second.xml;
        data += QStringLiteral("</%1row>").arg(layout.prefix);
    }
    return data + QStringLiteral("</%1sheetData>").arg(layout.prefix);
}

QString Dimension(const SheetLayout& layout)
{
    int firstRow = 0, lastRow = 0, firstColumn = 0, lastColumn = 0;
    for (const auto& [number, row] : layout.rows) {
        if (row.cells.empty())
            continue;
        firstRow = firstRow ? firstRow : number;
        lastRow = number;
        const int rowFirst = row.cells.begin()->first;
        const int rowLast = row.cells.rbegin()->first;
        firstColumn = firstColumn ? std::min(firstColumn, rowFirst) : rowFirst;
        lastColumn = std::max(lastColumn, rowLast);
    }
    QString reference = QStringLiteral("A1");
    if (firstRow > 0) {
        reference = XlsxText::Reference(firstRow, firstColumn);
        if (firstRow != lastRow || firstColumn != lastColumn)
            reference += QLatin1Char(':') + XlsxText::Reference(lastRow, lastColumn);
    }
    return QStringLiteral("<%1dimension ref=\"%2\"/>").arg(layout.prefix, reference);
}

} // namespace

bool XlsxSheetPatcher::Apply(const QByteArray& sheetXml, const CellWrites& writes,
                             QByteArray& patched, QString& error)
{
    const QString source = QString::fromUtf8(sheetXml);
    SheetLayout layout;
    if (!Parse(source, layout)) {
        error = QStringLiteral("无法写入工作表(工作表内容损坏)");
        return false;
    }
    Merge(writes, layout.prefix, layout.rows);
    QString result;
    if (layout.dimensionStart >= 0) {
        result = source.left(layout.dimensionStart) + Dimension(layout) +
                 source.mid(layout.dimensionEnd, layout.dataStart - layout.dimensionEnd);
    } else {
        result = source.left(layout.dataStart);
    }
    result += SheetData(layout) + source.mid(layout.dataEnd);
    patched = result.toUtf8();
    return true;
}
