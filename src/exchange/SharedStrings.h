#pragma once

#include "BiffRecords.h"

#include <QHash>
#include <QStringList>

// The workbook's shared string table: each distinct text stored once, cells refer to it by index.
class SharedStrings
{
public:
    quint32 Index(const QString& text);
    // Texts that fit into two records, MaxTextLength characters, are stored whole.
    static constexpr int MaxTextLength = 8000;

    // The SST record and as many CONTINUE records as the texts need; a text longer than one
    // record is split across two of them, never shortened.
    void WriteTo(BiffRecords& records) const;

private:
    QHash<QString, quint32> indexes;
    QStringList texts;
    quint32 references = 0;
};
