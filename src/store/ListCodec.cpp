#include "ListCodec.h"

namespace ListCodec
{

QString EscapeCell(QString cell)
{
    cell.replace(QLatin1Char('-'), QLatin1String("##"));
    cell.replace(QLatin1Char('.'), QLatin1String("&&"));
    return cell;
}

QString UnescapeCell(QString cell)
{
    cell.replace(QLatin1String("##"), QLatin1String("-"));
    cell.replace(QLatin1String("&&"), QLatin1String("."));
    return cell;
}

bool CanHold(const QString& cell)
{
    return !cell.contains(QLatin1Char(';')) && UnescapeCell(EscapeCell(cell)) == cell;
}

QString Pack(const QList<QStringList>& rows)
{
    QStringList packedRows;
    packedRows.reserve(rows.size());
    for (const QStringList& row : rows) {
        QStringList cells;
        cells.reserve(row.size());
        for (const QString& cell : row)
            cells << EscapeCell(cell);
        packedRows << cells.join(QLatin1Char('-'));
    }
    return packedRows.join(QLatin1Char(';'));
}

QList<QStringList> Unpack(const QString& text)
{
    QList<QStringList> rows;
    const QStringList packedRows = text.split(QLatin1Char(';'));
    rows.reserve(packedRows.size());
    for (const QString& packed : packedRows) {
        QStringList cells = packed.split(QLatin1Char('-'));
        for (QString& cell : cells)
            cell = UnescapeCell(cell);
        rows << cells;
    }
    return rows;
}

QStringList GetListColumn(const QString& text, int column)
{
    QStringList entries;
    if (column < 0)
        return entries;
    for (const QString& packed : text.split(QLatin1Char(';'))) {
        const QStringList cells = packed.split(QLatin1Char('-'));
        if (cells.size() > column)
            entries << UnescapeCell(cells.at(column));
    }
    return entries;
}

} // namespace ListCodec
