#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>

#include <vector>

// The texts of one select's rows, each kept once: a column's repeated values (a colour, a store
// place, a price, a date) share one string instead of a copy per row, which is most of what a
// page of many records weighs. A column whose values keep being new (serials) stops being
// pooled once it has many, so the pool stays small and costs nothing more for such columns.
class TextPool
{
public:
    explicit TextPool(int columns) : columns(std::size_t(qMax(columns, 0))) {}

    // The text of the UTF-8 `bytes` of `column`.
    QString FromUtf8(int column, const char* bytes, qsizetype size);
    // `text`, or the equal text already held for `column`.
    QString Shared(int column, const QString& text);

private:
    struct Column {
        QHash<QByteArray, QString> byBytes;
        QSet<QString> texts;
        bool full = false;
    };

    std::vector<Column> columns;
};
