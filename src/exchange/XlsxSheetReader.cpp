#include "XlsxSheetReader.h"

#include "SerialDate.h"
#include "XlsxText.h"

#include <QXmlStreamReader>

namespace
{

bool Is(const QXmlStreamReader& xml, const char* name)
{
    return xml.name() == QLatin1String(name);
}

// The text of an <si> or <is> element: its <t> elements, phonetic runs left out.
QString RichText(QXmlStreamReader& xml)
{
    QString text;
    int phonetic = 0;
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (Is(xml, "rPh"))
                ++phonetic;
            else if (Is(xml, "t") && phonetic == 0)
                text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (token == QXmlStreamReader::EndElement) {
            if (Is(xml, "rPh"))
                --phonetic;
            else if (Is(xml, "si") || Is(xml, "is"))
                break;
        }
    }
    return XlsxText::Unescape(text);
}

struct RawCell {
    QString type;
    QString value;
    QString inlineText;
};

std::optional<CellValue> ToCell(const RawCell& raw, const QStringList& strings)
{
    if (raw.type == QLatin1String("inlineStr"))
        return CellValue::Text(raw.inlineText);
    if (raw.value.isNull())
        return std::nullopt;
    if (raw.type == QLatin1String("s")) {
        bool ok = false;
        const int index = raw.value.toInt(&ok);
        if (!ok || index < 0 || index >= strings.size())
            return std::nullopt;
        return CellValue::Text(strings[index]);
    }
    if (raw.type == QLatin1String("str") || raw.type == QLatin1String("e"))
        return CellValue::Text(XlsxText::Unescape(raw.value));
    if (raw.type == QLatin1String("d")) {
        const auto day = SerialDate::FromText(raw.value, false);
        return day ? CellValue::Number(*day) : CellValue::Text(raw.value);
    }
    bool ok = false;
    const double number = raw.value.trimmed().toDouble(&ok);
    return ok ? CellValue::Number(number) : CellValue::Text(raw.value);
}

RawCell ReadCell(QXmlStreamReader& xml, const QXmlStreamAttributes& attributes)
{
    RawCell raw;
    raw.type = attributes.value(QLatin1String("t")).toString();
    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (Is(xml, "v"))
                raw.value = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            else if (Is(xml, "is"))
                raw.inlineText = RichText(xml);
            else
                xml.skipCurrentElement();
        } else if (token == QXmlStreamReader::EndElement && Is(xml, "c")) {
            break;
        }
    }
    return raw;
}

} // namespace

bool XlsxSheetReader::ReadSharedStrings(const QByteArray& data, QStringList& strings)
{
    strings.clear();
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && Is(xml, "si"))
            strings.append(RichText(xml));
    }
    return !xml.hasError();
}

bool XlsxSheetReader::ReadCells(const QByteArray& data, const QStringList& strings,
                                SheetCells& cells)
{
    // A cell takes a few dozen bytes of XML at least: room for that many cells saves growing the
    // array step by step.
    cells.Reserve(data.size() / 64);
    QXmlStreamReader xml(data);
    int row = 0;
    int column = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (Is(xml, "row")) {
            bool ok = false;
            const int number = xml.attributes().value(QLatin1String("r")).toInt(&ok);
            row = ok && number > row ? number : row + 1;
            column = 0;
        } else if (Is(xml, "c") && row > 0) {
            int cellRow = row;
            int cellColumn = column + 1;
            const QXmlStreamAttributes attributes = xml.attributes();
            const auto reference = attributes.value(QLatin1String("r"));
            if (!reference.isEmpty() && !XlsxText::ParseReference(reference, cellRow, cellColumn))
                return false;
            column = cellColumn;
            if (auto value = ToCell(ReadCell(xml, attributes), strings))
                cells.Set(cellRow, cellColumn, std::move(*value));
        }
    }
    return !xml.hasError();
}
