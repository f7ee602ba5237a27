#pragma once

#include "CompletenessLine.h"
#include "ScriptRow.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>

class QIODevice;

// How the bytes of a script are read as text: UTF-8, or GB18030, the encoding of the Chinese
// Windows locale that backups written with the locale's encoding are in.
enum class ScriptEncoding { Utf8, Gb18030 };

// Reads a backup script one statement at a time, in one pass over the file and without holding
// more of it than the statement in hand. A statement is "insert into <table>(<columns>)
// values(<values>);" into one of the program's tables, on one line; a quoted text may go on over
// line breaks. Values are quoted texts ('' for a quote inside), E'<hex>' bytes, numbers, null
// and, as older backups wrote dates, a bare yyyy-MM-dd. Blank lines are passed over, and so is a
// completeness line once its counts match the rows before it. Anything else, an unclosed quote or
// a statement cut off makes the file damaged. Nothing of the file is ever run as it stands: a
// row is handed over as values to bind.
class ScriptReader
{
public:
    // Which values a row carries: all, or (for a check of the file) its store number and key.
    enum Values { All, KeysOnly };
    enum class Fault {
        None,
        Damaged,  // the file is not a whole script of the program's inserts
        Encoding, // a line is not text in the encoding asked for
        ReadFailed,
    };

    ScriptReader(QIODevice& device, ScriptEncoding encoding, Values values = All);

    // The next row; false at the end of the file, or where it cannot be read on (Failure()).
    bool Next(ScriptRow& row);
    Fault Failure() const { return fault; }
    // Why and where the file cannot be read, in a sentence for the user.
    QString FaultText() const { return faultText; }
    // Whether every row read so far is vouched for by a completeness line that matched.
    bool Complete() const;
    // The number of the last line read.
    int LineNumber() const { return lineNumber; }

private:
    bool RawLine(QByteArrayView& line);
    bool AtEndOfFile() const;
    bool AppendLine();
    bool TakeCompletenessLine(QStringView line, int number);
    bool Fail(Fault kind, const QString& text);

    QIODevice& device;
    ScriptEncoding encoding;
    QStringDecoder decoder;
    Values values;
    // Bytes read ahead of the lines handed out; `start` is the first byte not handed out yet and
    // no line end lies between `start` and `searched`.
    QByteArray block;
    qsizetype start = 0;
    qsizetype searched = 0;
    bool deviceDone = false;
    // The statement in hand, decoded.
    QString text;
    int lineNumber = 0;
    // Rows per table since the last completeness line.
    CompletenessLine::Counts sinceCompletenessLine;
    bool completenessLineSeen = false;
    Fault fault = Fault::None;
    QString faultText;
};
