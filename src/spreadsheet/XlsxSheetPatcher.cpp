#include "XlsxSheetPatcher.h"

#include "SharedFormula.h"
#include "XlsxText.h"

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <climits>
#include <map>

namespace
{

struct ExistingCell {
    QString xml;
    QString style;
    // The cell's shared formula group, -1 for none; the first cell of a group holds its range
    // and its formula.
    int sharedGroup = -1;
    QString sharedRange;
    QString formula;
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

qsizetype TagStart(const QString& source, qsizetype end)
{
    return source.lastIndexOf('<', end - 1);
}

// Gives an element an r attribute where the file left its position implicit.
QString WithReference(QString xml, QStringView qualifiedName, const QString& reference)
{
    return xml.insert(1 + qualifiedName.size(), QStringLiteral(" r=\"%1\"").arg(reference));
}

// Reads to the end of the cell, noting a shared formula.
void ReadFormula(QXmlStreamReader& xml, ExistingCell& cell)
{
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("f")) {
            xml.skipCurrentElement();
            continue;
        }
        const auto attributes = xml.attributes();
        bool grouped = false;
        const int group = attributes.value(QLatin1String("si")).toInt(&grouped);
        if (attributes.value(QLatin1String("t")) == QLatin1String("shared") && grouped) {
            cell.sharedGroup = group;
            cell.sharedRange = attributes.value(QLatin1String("ref")).toString();
        }
        cell.formula = xml.readElementText(QXmlStreamReader::IncludeChildElements);
    }
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
        ReadFormula(xml, cell);
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

// The XML text of a cell value in UTF-8: markup characters as entities, a carriage return as a
// character reference so that it survives line-end normalisation.
void AppendXmlText(QByteArray& out, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    qsizetype from = 0;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char* entity = nullptr;
        switch (utf8[i]) {
        case '&':
            entity = "&amp;";
            break;
        case '<':
            entity = "&lt;";
            break;
        case '>':
            entity = "&gt;";
            break;
        case '\r':
            entity = "&#13;";
            break;
        default:
            continue;
        }
        out.append(utf8.constData() + from, i - from).append(entity);
        from = i + 1;
    }
    out.append(utf8.constData() + from, utf8.size() - from);
}

// Writes the new cell table in one pass: the existing rows and cells in order, with the written
// texts merged in; records the rectangle that the cells cover.
class SheetDataWriter
{
public:
    explicit SheetDataWriter(const SheetLayout& layout)
        : layout(layout), prefix(layout.prefix.toUtf8()), existing(layout.rows.begin())
    {
        out.append('<').append(prefix).append("sheetData>");
    }

    void Write(int row, int column, const QString& text)
    {
        if (row != openRow) {
            CloseRow();
            CopyRowsBefore(row);
            if (existing != layout.rows.end() && existing->first == row)
                OpenExistingRow();
            else if (text.isEmpty())
                return;
            else
                OpenNewRow(row);
        }
        QString style;
        for (; rowCell != rowEnd && rowCell->first <= column; ++rowCell) {
            if (rowCell->first == column)
                style = rowCell->second.style;
            else
                CopyCell(rowCell->first, rowCell->second);
        }
        if (!text.isEmpty())
            NewCell(row, column, text, style);
    }

    // The whole sheetData element.
    QByteArray Finish()
    {
        CloseRow();
        CopyRowsBefore(INT_MAX);
        out.append("</").append(prefix).append("sheetData>");
        return out;
    }

    QByteArray Dimension() const
    {
        QString reference = QStringLiteral("A1");
        if (firstRow > 0) {
            reference = XlsxText::Reference(firstRow, firstColumn);
            if (firstRow != lastRow || firstColumn != lastColumn)
                reference += QLatin1Char(':') + XlsxText::Reference(lastRow, lastColumn);
        }
        return "<" + prefix + "dimension ref=\"" + reference.toUtf8() + "\"/>";
    }

private:
    using Cells = std::map<int, ExistingCell>;

    void Cover(int row, int column)
    {
        firstRow = firstRow ? firstRow : row;
        lastRow = row;
        firstColumn = firstColumn ? std::min(firstColumn, column) : column;
        lastColumn = std::max(lastColumn, column);
    }

    void OpenTag(const QString& tag)
    {
        static const QRegularExpression spans(
            QStringLiteral("\\s+spans\\s*=\\s*(\"[^\"]*\"|'[^']*')"));
        // The recorded column span of a row is a hint that no longer holds after writing.
        out.append(QString(tag).remove(spans).toUtf8()).append('>');
    }

    void OpenExistingRow()
    {
        openRow = existing->first;
        OpenTag(existing->second.openTag);
        rowCell = existing->second.cells.begin();
        rowEnd = existing->second.cells.end();
        ++existing;
    }

    void OpenNewRow(int row)
    {
        openRow = row;
        out.append('<').append(prefix).append("row r=\"").append(QByteArray::number(row));
        out.append("\">");
        rowCell = rowEnd = Cells::const_iterator();
    }

    void CloseRow()
    {
        if (!openRow)
            return;
        for (; rowCell != rowEnd; ++rowCell)
            CopyCell(rowCell->first, rowCell->second);
        out.append("</").append(prefix).append("row>");
        openRow = 0;
    }

    void CopyRowsBefore(int row)
    {
        while (existing != layout.rows.end() && existing->first < row) {
            OpenExistingRow();
            CloseRow();
        }
    }

    void CopyCell(int column, const ExistingCell& cell)
    {
        Cover(openRow, column);
        out.append(cell.xml.toUtf8());
    }

    void NewCell(int row, int column, const QString& text, const QString& style)
    {
        Cover(row, column);
        const QString escaped = XlsxText::Escape(text);
        out.append('<').append(prefix).append("c r=\"").append(
            XlsxText::ColumnName(column).toLatin1());
        out.append(QByteArray::number(row)).append('"');
        if (!style.isEmpty())
            out.append(" s=\"").append(style.toUtf8()).append('"');
        out.append(" t=\"inlineStr\"><").append(prefix).append("is><").append(prefix).append('t');
        // Blanks at either end are kept only when the element says so.
        if (escaped.front().isSpace() || escaped.back().isSpace())
            out.append(" xml:space=\"preserve\"");
        out.append('>');
        AppendXmlText(out, escaped);
        out.append("</").append(prefix).append("t></").append(prefix).append("is></");
        out.append(prefix).append("c>");
    }

    const SheetLayout& layout;
    const QByteArray prefix;
    QByteArray out;
    std::map<int, Row>::const_iterator existing;
    int openRow = 0;
    Cells::const_iterator rowCell;
    Cells::const_iterator rowEnd;
    int firstRow = 0, lastRow = 0, firstColumn = 0, lastColumn = 0;
};

// A shared formula group whose first cell is overwritten would leave the other cells without
// a formula: each of them gets its own formula instead, moved from the group's first one.
void UngroupOverwrittenFormulas(SheetLayout& layout, const CellWrites& writes)
{
    struct First {
        int row, column;
        QString formula;
    };
    std::map<int, First> groups;
    writes.ForEach([&](int row, int column, const QString&) {
        const auto found = layout.rows.find(row);
        if (found == layout.rows.end())
            return;
        const auto cell = found->second.cells.find(column);
        if (cell != found->second.cells.end() && cell->second.sharedGroup >= 0 &&
            !cell->second.sharedRange.isEmpty())
            groups[cell->second.sharedGroup] = {row, column, cell->second.formula};
    });
    if (groups.empty())
        return;
    static const QRegularExpression formula(
        QStringLiteral("<([A-Za-z_][\\w.-]*:)?f\\b[^>]*?(/>|>.*?</\\1f>)"),
        QRegularExpression::DotMatchesEverythingOption);
    for (auto& [number, row] : layout.rows) {
        for (auto& [column, cell] : row.cells) {
            const auto group = groups.find(cell.sharedGroup);
            if (group == groups.end())
                continue;
            const First& first = group->second;
            const QString moved =
                SharedFormula::Shift(first.formula, number - first.row, column - first.column);
            const auto match = formula.match(cell.xml);
            if (match.hasMatch()) {
                const QString prefix = match.captured(1);
                cell.xml.replace(
                    match.capturedStart(), match.capturedLength(),
                    QStringLiteral("<%1f>%2</%1f>").arg(prefix, moved.toHtmlEscaped()));
            }
            cell.sharedGroup = -1;
        }
    }
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
    UngroupOverwrittenFormulas(layout, writes);
    SheetDataWriter data(layout);
    writes.ForEach(
        [&data](int row, int column, const QString& text) { data.Write(row, column, text); });
    const QByteArray sheetData = data.Finish();
    if (layout.dimensionStart >= 0) {
        patched = source.left(layout.dimensionStart).toUtf8() + data.Dimension() +
                  QStringView(source)
                      .mid(layout.dimensionEnd, layout.dataStart - layout.dimensionEnd)
                      .toUtf8();
    } else {
        patched = source.left(layout.dataStart).toUtf8();
    }
    patched += sheetData + QStringView(source).mid(layout.dataEnd).toUtf8();
    return true;
}
