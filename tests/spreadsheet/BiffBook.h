#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Builds BIFF8 workbook streams record by record, for reader tests that need shapes our own
// writer never produces: formulas with cached results, continued texts, damaged records.
class BiffBook
{
public:
    // One record, header included.
    static QByteArray Record(quint16 type, const QByteArray& body);
    static QByteArray Cell(quint16 type, int row, int column, quint16 xf, const QByteArray& rest);
    static QByteArray U16(quint16 value);
    static QByteArray U32(quint32 value);
    static QByteArray F64(double value);
    // A text with a 16-bit count, compressed when every character fits into one byte.
    static QByteArray String(const QString& text);
    // The shared string table split into records of at most `chunk` bytes; with `alternate` the
    // characters of a continued text switch width at every record end.
    static QByteArray SharedStrings(const QStringList& texts, qsizetype chunk, bool alternate);
    // A FORMULA record with a cached result: `result` is the 8-byte result field.
    static QByteArray Formula(int row, int column, quint16 xf, const QByteArray& result);

    // Extra records for the globals (before the sheets are named).
    QByteArray globals;
    // The shared string table records.
    QByteArray sst;
    // The records of each worksheet between its BOF and EOF.
    QList<QByteArray> sheets;
    bool dateSystem1904 = false;

    // The whole stream: globals with 16 cell formats (15 with a date format), then the sheets.
    QByteArray Stream() const;
};
