#pragma once

#include "CompletenessLine.h"
#include "ScriptValue.h"

#include <QByteArrayView>
#include <QString>
#include <map>

// Reads the inserts of a backup script straight from its bytes, in one pass and without copying
// them: each row comes as its table, its columns and views of its values in the file. A statement
// is "insert into <table>(<columns>) values(<values>);" into one of the program's tables, on one
// line; a quoted text may go on over line breaks. Values are quoted texts ('' for a quote inside),
// E'<hex>' bytes, numbers, null and, as older backups wrote dates, a bare yyyy-MM-dd. Blank lines
// are passed over, and so is a completeness line once its counts match the rows before it.
// Anything else, an unclosed quote or a statement cut off makes the file damaged; a text that is
// not in the encoding asked for stops the reading too. Nothing of the file is ever run as it
// stands: a row is handed over as values to bind.
class ScriptScanner
{
public:
    enum class Fault {
        None,
        Damaged,  // the file is not a whole script of the program's inserts
        Encoding, // a line is not text in the encoding asked for
    };

    // `bytes` must outlive the scanner and the rows it hands out.
    ScriptScanner(QByteArrayView bytes, ScriptEncoding encoding);

    // The next row; false at the end of the file, or where it cannot be read on (Failure()).
    bool Next(ScannedRow& row);
    // The statement that starts at `offset` on `line`, read again.
    bool ReadAgain(qsizetype offset, int line, ScannedRow& row);
    Fault Failure() const { return fault; }
    // Why and where the file cannot be read, in a sentence for the user.
    QString FaultText() const { return faultText; }
    // Whether every row read so far is vouched for by a completeness line that matched.
    bool Complete() const;
    // How far into the file the reading has come, in bytes.
    qsizetype Offset() const { return at; }
    ScriptEncoding Encoding() const { return encoding; }

private:
    enum class Refusal { None, NotInsert, ForeignTable, UnknownColumn, Malformed, NoEnd, Open };

    bool Statement(ScannedRow& row);
    bool Columns(ScannedRow& row);
    bool Value(ScriptValue& value);
    bool Quoted(ScriptValue& value);
    bool Token(ScriptValue& value);
    bool Refuse(Refusal why, QByteArrayView about = {});
    void SkipSpace();
    QByteArrayView Word();
    bool Symbol(char symbol);
    bool TakeCommentLine(qsizetype end);
    bool Explain(int first, qsizetype start);
    bool Fail(Fault kind, const QString& text);
    bool FailEncoding(int badLine);
    static QString RefusalText(Refusal refusal, int line, const QString& detail);
    int LineAt(qsizetype offset, int fromLine, qsizetype fromOffset) const;

    QByteArrayView bytes;
    ScriptEncoding encoding;
    const char* data;
    qsizetype size;
    qsizetype at = 0;
    int line = 1;
    Refusal refusal = Refusal::None;
    QByteArrayView detail;
    // Column lists already read, by table and their text in the file; rows point into them.
    std::map<QByteArray, QList<int>> columnLists;
    QByteArray lastColumnsKey;
    const QList<int>* lastColumns = nullptr;
    CompletenessLine::Counts sinceCompletenessLine;
    bool completenessLineSeen = false;
    Fault fault = Fault::None;
    QString faultText;
};
