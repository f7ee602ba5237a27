#pragma once

#include <QAbstractItemModel>
#include <QStringList>

// The shown texts of one column of a model, top to bottom.
inline QStringList ModelColumn(const QAbstractItemModel& model, int column)
{
    QStringList texts;
    for (int r = 0; r < model.rowCount(); ++r)
        texts << model.index(r, column).data().toString();
    return texts;
}
