#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// One text of the shared string table with its formatting runs and phonetic data kept as
// stored, so a table that is written again loses nothing.
struct BiffText {
    QString text;
    QByteArray runs;
    QByteArray phonetic;
};

// The bodies of a record and of the CONTINUE records after it, read as one. Fields simply run
// on across the record ends; the characters of a text that runs on start the next record with a
// byte giving their width again.
class ContinuedBody
{
public:
    void Append(QByteArrayView segment) { segments.append(segment); }

    bool U8(quint8& value);
    bool U16(quint16& value);
    bool U32(quint32& value);
    // Appends `size` bytes to `out`, or skips them when `out` is null.
    bool Bytes(qsizetype size, QByteArray* out);
    // A text with a 16-bit (or, for sheet names, 8-bit) character count and an option byte.
    bool String(QString& text, int countBytes = 2);
    // A text of the shared string table.
    bool RichString(BiffText& text);
    // Bytes left in all segments together.
    qsizetype Left() const;

private:
    bool Characters(qsizetype count, bool wide, QString& text);
    // Copies `size` bytes to `to`, or skips them when `to` is null.
    bool Copy(qsizetype size, char* to);
    bool NextSegment();

    QList<QByteArrayView> segments;
    qsizetype index = 0;
    qsizetype offset = 0;
};
