#include "CompletenessLine.h"

#include "Schema.h"

#include <QStringList>

namespace
{

const QString Prefix = QStringLiteral("-- backup complete:");

} // namespace

QString CompletenessLine::Text(const Counts& counts)
{
    QStringList parts;
    const QList<TableSchema>& tables = Schema::Tables();
    for (qsizetype i = 0; i < tables.size() && i < counts.size(); ++i)
        parts << QStringLiteral("%1=%2").arg(tables.at(i).name).arg(counts.at(i));
    return Prefix + QLatin1Char(' ') + parts.join(QStringLiteral(", "));
}

bool CompletenessLine::IsOne(QStringView line)
{
    return line.startsWith(Prefix, Qt::CaseInsensitive);
}

bool CompletenessLine::Read(QStringView line, Counts& counts)
{
    if (!IsOne(line))
        return false;
    const QList<TableSchema>& tables = Schema::Tables();
    counts = Counts(tables.size(), -1);
    for (QStringView part : line.mid(Prefix.size()).split(u',')) {
        const qsizetype equals = part.indexOf(u'=');
        if (equals < 0)
            return false;
        const QStringView name = part.left(equals).trimmed();
        bool number = false;
        const qint64 count = part.mid(equals + 1).trimmed().toLongLong(&number);
        qsizetype table = 0;
        while (table < tables.size() &&
               name.compare(tables.at(table).name, Qt::CaseInsensitive) != 0)
            ++table;
        if (!number || count < 0 || table == tables.size() || counts.at(table) >= 0)
            return false;
        counts[table] = count;
    }
    // A table the line does not name had no rows.
    for (qint64& count : counts)
        count = qMax<qint64>(count, 0);
    return true;
}
