#pragma once

#include "BiffRecords.h"
#include "BiffText.h"

#include <QHash>
#include <QList>

// The workbook's shared string table: each distinct text stored once, cells refer to it by index.
class SharedStrings
{
public:
    // The format's limit for the text of one cell.
    static constexpr int MaxTextLength = 32767;

    SharedStrings() = default;
    // Starts from a workbook's table: its texts keep their indexes and formatting.
    SharedStrings(const QList<BiffText>& texts, quint32 references);

    quint32 Index(const QString& text);
    // A cell that referred to the table no longer does.
    void Release() { references -= references > 0 ? 1 : 0; }

    // The SST record and as many CONTINUE records as the texts need; a text is split across as
    // many records as it takes, never shortened.
    void WriteTo(BiffRecords& records) const;

private:
    QHash<QString, quint32> indexes;
    QList<BiffText> texts;
    quint32 references = 0;
};
