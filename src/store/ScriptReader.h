#pragma once

#include "ScriptRow.h"

#include <QString>
#include <deque>
#include <utility>

class QIODevice;

// Reads a backup script one statement at a time, without holding more of the file than the
// statement in hand. Only "insert into <table>(<columns>) values(<values>);" into one of the
// program's tables is taken, one statement per line; a quoted text may go on over line breaks.
// Values are quoted texts ('' for a quote inside), E'<hex>' bytes, numbers, null and, as older
// backups wrote dates, a bare yyyy-MM-dd. Nothing of the file is ever run as it stands: a row is
// handed over as values to bind.
class ScriptReader
{
public:
    // Which values a row carries: all, or (for a check of the file) only its store number.
    enum Values { All, StoreOnly };

    // Reads from an open device (UTF-8 text).
    explicit ScriptReader(QIODevice& device, Values values = All);

    // The next accepted row; false at the end of the file. Every statement passed over on the
    // way is added to `skipped` under the line it starts on.
    bool Next(ScriptRow& row, SkipReport& skipped);
    // Whether reading stopped on a device error rather than at the end of the file.
    bool ReadFailed() const { return readFailed; }
    // The number of the last line read.
    int LineNumber() const { return lineNumber; }

private:
    bool TakeLine(std::pair<int, QString>& line);

    QIODevice& device;
    Values values;
    // Lines read ahead for a statement that turned out broken, to be read again.
    std::deque<std::pair<int, QString>> pending;
    int lineNumber = 0;
    bool readFailed = false;
};
