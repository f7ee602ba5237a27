#include "XlsxSheetReader.h"

#include "SerialDate.h"
#include "XlsxText.h"
#include "XmlScanner.h"

#include <algorithm>

namespace
{

using Token = XmlScanner::Token;

// The last row and column a sheet can have; a number past them is a damaged sheet, and counting
// on from it would overflow.
constexpr int LastRow = 1048576;
constexpr int LastColumn = 16384;

// The text of an <si> or <is> element: its <t> elements, phonetic runs left out.
bool RichText(XmlScanner& xml, QString& text)
{
    QByteArray utf8;
    int phonetic = 0;
    for (;;) {
        const Token token = xml.ReadNext();
        if (token == Token::StartElement) {
            if (xml.Name() == "rPh")
                ++phonetic;
            else if (xml.Name() == "t" && phonetic == 0 && !xml.ReadElementText(utf8))
                return false;
        } else if (token == Token::EndElement) {
            if (xml.Name() == "rPh")
                --phonetic;
            else if (xml.Name() == "si" || xml.Name() == "is")
                break;
        } else if (token != Token::Characters) {
            return false;
        }
    }
    text = XlsxText::Unescape(QString::fromUtf8(utf8));
    return true;
}

struct RawCell {
    QByteArray type;
    QByteArray value;
    QString inlineText;
};

// An empty value stands for none: as a text it would be an empty cell, and as a number or an
// index it is no value either.
std::optional<CellValue> ToCell(const RawCell& raw, const QStringList& strings, bool dateSystem1904)
{
    if (raw.type == "inlineStr")
        return CellValue::Text(raw.inlineText);
    if (raw.value.isEmpty())
        return std::nullopt;
    if (raw.type == "s") {
        bool ok = false;
        const int index = raw.value.toInt(&ok);
        if (!ok || index < 0 || index >= strings.size())
            return std::nullopt;
        return CellValue::Text(strings[index]);
    }
    const QString text = QString::fromUtf8(raw.value);
    if (raw.type == "b")
        return CellValue::Text(raw.value.trimmed() == "0" ? QStringLiteral("FALSE")
                                                          : QStringLiteral("TRUE"));
    if (raw.type == "str" || raw.type == "e")
        return CellValue::Text(XlsxText::Unescape(text));
    if (raw.type == "d") {
        const auto day = SerialDate::FromText(text, dateSystem1904);
        return day ? CellValue::Number(*day) : CellValue::Text(text);
    }
    bool ok = false;
    const double number = raw.value.trimmed().toDouble(&ok);
    return ok ? CellValue::Number(number) : CellValue::Text(text);
}

bool ReadCell(XmlScanner& xml, RawCell& raw)
{
    raw.type = xml.Attribute("t");
    for (;;) {
        const Token token = xml.ReadNext();
        if (token == Token::StartElement) {
            const bool read = xml.Name() == "v"    ? xml.ReadElementText(raw.value)
                              : xml.Name() == "is" ? RichText(xml, raw.inlineText)
                                                   : xml.SkipCurrentElement();
            if (!read)
                return false;
        } else if (token == Token::EndElement) {
            return true;
        } else if (token != Token::Characters) {
            return false;
        }
    }
}

} // namespace

bool XlsxSheetReader::ReadSharedStrings(const QByteArray& data, QStringList& strings)
{
    strings.clear();
    XmlScanner xml(data);
    for (;;) {
        const Token token = xml.ReadNext();
        if (token == Token::EndDocument)
            return true;
        if (token == Token::Invalid)
            return false;
        if (token == Token::StartElement && xml.Name() == "si") {
            QString text;
            if (!RichText(xml, text))
                return false;
            strings.append(text);
        }
    }
}

bool XlsxSheetReader::ReadCells(const QByteArray& data, const QStringList& strings,
                                bool dateSystem1904, SheetCells& cells)
{
    // A cell takes a few dozen bytes of XML at least: room for that many cells saves growing the
    // array step by step.
    cells.Reserve(data.size() / 48);
    XmlScanner xml(data);
    int row = 0;
    int column = 0;
    for (;;) {
        const Token token = xml.ReadNext();
        if (token == Token::EndDocument)
            return true;
        if (token == Token::Invalid)
            return false;
        if (token != Token::StartElement)
            continue;
        if (xml.Name() == "row") {
            const QByteArray reference = xml.Attribute("r");
            bool ok = reference.isEmpty();
            const int number = ok ? 0 : reference.toInt(&ok);
            if (!ok || number < 0 || number > LastRow || row >= LastRow)
                return false;
            row = std::max(number, row + 1);
            column = 0;
        } else if (xml.Name() == "c" && row > 0) {
            int cellRow = row;
            int cellColumn = column + 1;
            const QByteArray reference = xml.Attribute("r");
            if (!reference.isEmpty() &&
                !XlsxText::ParseReference(QLatin1StringView(reference), cellRow, cellColumn))
                return false;
            if (cellColumn > LastColumn)
                return false;
            column = cellColumn;
            RawCell raw;
            if (!ReadCell(xml, raw))
                return false;
            if (auto value = ToCell(raw, strings, dateSystem1904))
                cells.Set(cellRow, cellColumn, std::move(*value));
        }
    }
}
