#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Packing of a master-data or person list into the one text stored per list kind:
// rows joined by ";", cells by "-", with "-" inside a cell written "##" and "." written "&&".
namespace ListCodec
{

QString EscapeCell(QString cell);
QString UnescapeCell(QString cell);
// Whether `cell` comes back unchanged from a stored list. The format has no escape for ";" and
// for its own escapes: ";", "##", "&&", "#-" and "&." cannot be held.
bool CanHold(const QString& cell);

// Rows of cells -> stored text. No rows gives the empty text.
QString Pack(const QList<QStringList>& rows);

// Stored text -> rows of unescaped cells; empty parts are kept, so the empty text is one row with
// one empty cell.
QList<QStringList> Unpack(const QString& text);

// Cell `column` of every row that has more than `column` cells, unescaped; other rows are skipped.
QStringList GetListColumn(const QString& text, int column);

} // namespace ListCodec
