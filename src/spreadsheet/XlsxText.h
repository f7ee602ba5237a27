#pragma once

#include <QString>

// Cell references ("C5") and the _xHHHH_ escapes the workbook XML uses for characters that XML
// cannot carry.
namespace XlsxText
{

// 1-based row and column; false when the text is not a cell reference.
bool ParseReference(QStringView reference, int& row, int& column);
bool ParseReference(QLatin1StringView reference, int& row, int& column);
QString Reference(int row, int column);
QString ColumnName(int column);

QString Unescape(const QString& text);
QString Escape(const QString& text);

} // namespace XlsxText
