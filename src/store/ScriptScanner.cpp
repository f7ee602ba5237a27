#include "ScriptScanner.h"

#include <QCoreApplication>
#include <charconv>
#include <cstring>

namespace
{

QString Tr(const char* text)
{
    return QCoreApplication::translate("ScriptScanner", text);
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool IsWordChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsHex(char c)
{
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool Same(QByteArrayView word, QByteArrayView lowerName)
{
    return word.size() == lowerName.size() && word.compare(lowerName, Qt::CaseInsensitive) == 0;
}

// The names of the program's tables and their columns, as bytes.
struct Names {
    QList<QByteArray> tables;
    QList<QList<QByteArray>> columns;
};

const Names& SchemaNames()
{
    static const Names names = [] {
        Names all;
        for (const TableSchema& table : Schema::Tables()) {
            all.tables << table.name.toLatin1().toLower();
            QList<QByteArray> columns;
            for (const QString& column : table.columns)
                columns << column.toLatin1().toLower();
            all.columns << columns;
        }
        return all;
    }();
    return names;
}

bool IsDate(QByteArrayView token)
{
    if (token.size() != 10 || token.at(4) != '-' || token.at(7) != '-')
        return false;
    for (qsizetype i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (!IsDigit(token.at(i)))
            return false;
    }
    return true;
}

// A finite decimal number: sign, digits with a point, an exponent.
bool IsNumber(QByteArrayView token)
{
    qsizetype i = 0;
    const qsizetype n = token.size();
    if (i < n && (token.at(i) == '+' || token.at(i) == '-'))
        ++i;
    qsizetype digits = 0;
    while (i < n && IsDigit(token.at(i)))
        ++i, ++digits;
    if (i < n && token.at(i) == '.') {
        ++i;
        while (i < n && IsDigit(token.at(i)))
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    const bool exponent = i < n && (token.at(i) == 'e' || token.at(i) == 'E');
    if (exponent) {
        ++i;
        if (i < n && (token.at(i) == '+' || token.at(i) == '-'))
            ++i;
        qsizetype exponentDigits = 0;
        while (i < n && IsDigit(token.at(i)))
            ++i, ++exponentDigits;
        if (exponentDigits == 0)
            return false;
    }
    if (i != n)
        return false;
    if (!exponent && n < 300)
        return true;
    const char* begin = token.data() + (token.at(0) == '+' ? 1 : 0);
    double value = 0;
    return std::from_chars(begin, token.data() + n, value).ec == std::errc();
}

} // namespace

ScriptScanner::ScriptScanner(QByteArrayView bytes, ScriptEncoding encoding)
    : bytes(bytes), encoding(encoding), data(bytes.data()), size(bytes.size()),
      sinceCompletenessLine(Schema::Tables().size(), 0)
{
    // A byte order mark at the start says the encoding, and is no part of the first line.
    const QByteArrayView mark = encoding == ScriptEncoding::Utf8
                                    ? QByteArrayView("\xef\xbb\xbf")
                                    : QByteArrayView("\x84\x31\x95\x33");
    if (bytes.startsWith(mark))
        at = mark.size();
}

bool ScriptScanner::Complete() const
{
    if (!completenessLineSeen)
        return false;
    for (qint64 rows : sinceCompletenessLine) {
        if (rows > 0)
            return false;
    }
    return true;
}

bool ScriptScanner::Fail(Fault kind, const QString& why)
{
    fault = kind;
    faultText = why;
    return false;
}

bool ScriptScanner::Refuse(Refusal why, QByteArrayView about)
{
    refusal = why;
    detail = about;
    return false;
}

int ScriptScanner::LineAt(qsizetype offset, int fromLine, qsizetype fromOffset) const
{
    return fromLine + int(bytes.sliced(fromOffset, offset - fromOffset).count('\n'));
}

void ScriptScanner::SkipSpace()
{
    while (at < size && IsSpace(data[at]))
        ++at;
}

QByteArrayView ScriptScanner::Word()
{
    SkipSpace();
    const qsizetype start = at;
    while (at < size && IsWordChar(data[at]))
        ++at;
    return bytes.sliced(start, at - start);
}

bool ScriptScanner::Symbol(char symbol)
{
    SkipSpace();
    if (at >= size || data[at] != symbol)
        return false;
    ++at;
    return true;
}

bool ScriptScanner::Next(ScannedRow& row)
{
    while (fault == Fault::None) {
        qsizetype p = at;
        while (p < size && IsSpace(data[p]))
            ++p;
        if (p >= size) {
            at = size;
            return false;
        }
        if (data[p] == '\n') {
            at = p + 1;
            ++line;
            continue;
        }
        const qsizetype start = at;
        const int first = line;
        if (data[p] == '-' && p + 1 < size && data[p + 1] == '-') {
            const qsizetype end = bytes.indexOf('\n', p);
            if (!TakeCommentLine(end < 0 ? size : end))
                return false;
            at = end < 0 ? size : end + 1;
            ++line;
            continue;
        }
        at = p;
        refusal = Refusal::None;
        if (!Statement(row))
            return Explain(first, start);
        row.line = first;
        row.offset = start;
        ++sinceCompletenessLine[row.tableIndex];
        return true;
    }
    return false;
}

bool ScriptScanner::ReadAgain(qsizetype offset, int statementLine, ScannedRow& row)
{
    at = offset;
    line = statementLine;
    row.line = statementLine;
    row.offset = offset;
    return Statement(row);
}

bool ScriptScanner::Statement(ScannedRow& row)
{
    if (!Same(Word(), "insert"))
        return Refuse(Refusal::NotInsert);
    if (!Same(Word(), "into"))
        return Refuse(Refusal::Malformed);
    const QByteArrayView tableName = Word();
    const QList<TableSchema>& tables = Schema::Tables();
    row.tableIndex = -1;
    for (qsizetype i = 0; i < tables.size() && row.tableIndex < 0; ++i) {
        if (Same(tableName, SchemaNames().tables.at(i)))
            row.tableIndex = int(i);
    }
    if (row.tableIndex < 0)
        return Refuse(tableName.isEmpty() ? Refusal::Malformed : Refusal::ForeignTable, tableName);
    row.table = &tables.at(row.tableIndex);
    if (!Symbol('(') || !Columns(row)) {
        // An unknown column keeps its own refusal.
        return refusal == Refusal::None ? Refuse(Refusal::Malformed) : false;
    }
    if (!Symbol(')') || !Same(Word(), "values") || !Symbol('('))
        return Refuse(Refusal::Malformed);
    const qsizetype count = row.columns->size();
    for (qsizetype i = 0; i < count; ++i) {
        if (!Value(row.values[size_t(i)]))
            return false;
        if (!Symbol(i + 1 == count ? ')' : ','))
            return Refuse(Refusal::Malformed);
    }
    const bool ended = Symbol(';');
    SkipSpace();
    if (at < size && data[at] != '\n')
        return Refuse(Refusal::Malformed);
    if (!ended)
        return Refuse(Refusal::NoEnd);
    if (at < size) {
        ++at;
        ++line;
    }
    return true;
}

bool ScriptScanner::Columns(ScannedRow& row)
{
    // A backup names the same columns on every line: a list met before is not read again.
    qsizetype close = at;
    while (close < size && data[close] != ')' && data[close] != '\n')
        ++close;
    const QByteArrayView text = bytes.sliced(at, close - at);
    if (!lastColumns || lastColumnsKey.at(0) != char(row.tableIndex) ||
        QByteArrayView(lastColumnsKey).sliced(1) != text) {
        lastColumnsKey = QByteArray(1, char(row.tableIndex)).append(text);
        const auto known = columnLists.find(lastColumnsKey);
        lastColumns = known == columnLists.end() ? nullptr : &known->second;
    }
    if (lastColumns) {
        row.columns = lastColumns;
        at = close;
        return true;
    }
    QList<int> columns;
    do {
        const QByteArrayView name = Word();
        if (name.isEmpty())
            return false;
        int column = -1;
        const QList<QByteArray>& names = SchemaNames().columns.at(row.tableIndex);
        for (qsizetype c = 0; c < names.size() && column < 0; ++c) {
            if (Same(name, names.at(c)))
                column = int(c);
        }
        if (column < 0)
            return Refuse(Refusal::UnknownColumn, name);
        if (columns.contains(column) || columns.size() == MaxScriptColumns)
            return false;
        columns << column;
    } while (Symbol(','));
    SkipSpace();
    if (at != close)
        return false;
    lastColumns = row.columns = &columnLists.emplace(lastColumnsKey, columns).first->second;
    return true;
}

bool ScriptScanner::Value(ScriptValue& value)
{
    SkipSpace();
    value.doubled = false;
    if (at < size && data[at] == '\'') {
        ++at;
        return Quoted(value);
    }
    if (at + 1 < size && (data[at] == 'E' || data[at] == 'e') && data[at + 1] == '\'') {
        at += 2;
        const qsizetype quote = bytes.indexOf('\'', at);
        if (quote < 0)
            return Refuse(Refusal::Open);
        value.kind = ScriptValue::Bytes;
        value.raw = bytes.sliced(at, quote - at);
        for (char h : value.raw) {
            if (!IsHex(h))
                return Refuse(Refusal::Malformed);
        }
        at = quote + 1;
        return value.raw.size() % 2 == 0 || Refuse(Refusal::Malformed);
    }
    return Token(value);
}

bool ScriptScanner::Quoted(ScriptValue& value)
{
    const qsizetype start = at;
    for (;;) {
        const void* found = std::memchr(data + at, '\'', size_t(size - at));
        if (!found)
            return Refuse(Refusal::Open);
        const qsizetype quote = static_cast<const char*>(found) - data;
        if (quote + 1 < size && data[quote + 1] == '\'') {
            value.doubled = true;
            at = quote + 2;
            continue;
        }
        value.kind = ScriptValue::Text;
        value.raw = bytes.sliced(start, quote - start);
        at = quote + 1;
        break;
    }
    const int first = line;
    line += int(value.raw.count('\n'));
    const qsizetype bad = ScriptText::FirstBadByte(value.raw, encoding);
    if (bad < 0)
        return true;
    return FailEncoding(LineAt(start + bad, first, start));
}

bool ScriptScanner::Token(ScriptValue& value)
{
    const qsizetype start = at;
    while (at < size &&
           (IsWordChar(data[at]) || data[at] == '.' || data[at] == '-' || data[at] == '+'))
        ++at;
    value.raw = bytes.sliced(start, at - start);
    if (Same(value.raw, "null"))
        value.kind = ScriptValue::Null;
    else if (IsDate(value.raw))
        value.kind = ScriptValue::Date;
    else if (IsNumber(value.raw))
        value.kind = ScriptValue::Number;
    else
        return Refuse(Refusal::Malformed);
    return true;
}

QString ScriptScanner::RefusalText(Refusal refusal, int line, const QString& detail)
{
    switch (refusal) {
    case Refusal::NotInsert:
        return Tr("第 %1 行不是本程序的插入语句").arg(line);
    case Refusal::ForeignTable:
        return Tr("第 %1 行插入的 %2 不是本程序的数据表").arg(line).arg(detail);
    case Refusal::UnknownColumn:
        return Tr("第 %1 行含有数据表中没有的列 %2").arg(line).arg(detail);
    case Refusal::NoEnd:
        return Tr("第 %1 行的语句没有以分号结束").arg(line);
    default:
        return Tr("第 %1 行的语句格式有误").arg(line);
    }
}

bool ScriptScanner::FailEncoding(int badLine)
{
    return Fail(Fault::Encoding,
                Tr("第 %1 行的文字无法按 %2 编码读取")
                    .arg(badLine)
                    .arg(encoding == ScriptEncoding::Utf8 ? QStringLiteral("UTF-8")
                                                          : QStringLiteral("GB18030")));
}

bool ScriptScanner::TakeCommentLine(qsizetype end)
{
    const QByteArrayView bytesOfLine = bytes.sliced(at, end - at);
    const qsizetype bad = ScriptText::FirstBadByte(bytesOfLine, encoding);
    if (bad >= 0)
        return FailEncoding(line);
    const QString text = ScriptText::Decode(bytesOfLine, encoding).trimmed();
    if (!CompletenessLine::IsOne(text))
        return Fail(Fault::Damaged, RefusalText(Refusal::NotInsert, line, QString()));
    CompletenessLine::Counts counts;
    if (!CompletenessLine::Read(text, counts))
        return Fail(Fault::Damaged, Tr("第 %1 行的完整性记录无法读取").arg(line));
    const QList<TableSchema>& tables = Schema::Tables();
    for (qsizetype i = 0; i < tables.size(); ++i) {
        if (counts.at(i) != sinceCompletenessLine.at(i))
            return Fail(Fault::Damaged, Tr("第 %1 行的完整性记录写明 %2 有 %3 行，文件中却有 %4 行")
                                            .arg(line)
                                            .arg(tables.at(i).name)
                                            .arg(counts.at(i))
                                            .arg(sinceCompletenessLine.at(i)));
    }
    sinceCompletenessLine.fill(0);
    completenessLineSeen = true;
    return true;
}

bool ScriptScanner::Explain(int first, qsizetype start)
{
    if (fault != Fault::None)
        return false;
    // The statement as far as a line-wise reading takes it: its lines until its quotes pair up.
    qsizetype end = start;
    qsizetype quotes = 0;
    bool closed = false;
    for (;;) {
        qsizetype lineEnd = bytes.indexOf('\n', end);
        if (lineEnd < 0)
            lineEnd = size;
        quotes += bytes.sliced(end, lineEnd - end).count('\'');
        end = lineEnd;
        if (quotes % 2 == 0) {
            closed = true;
            break;
        }
        if (lineEnd >= size)
            break;
        ++end;
    }
    const QByteArrayView statement = bytes.sliced(start, end - start);
    const qsizetype bad = ScriptText::FirstBadByte(statement, encoding);
    if (bad >= 0)
        return FailEncoding(LineAt(start + bad, first, start));
    if (!closed)
        return Fail(Fault::Damaged, Tr("第 %1 行开始的引号到文件末尾也没有闭合").arg(first));
    // A statement that the file ends in before its semicolon was cut off.
    if (end + 1 >= size && !statement.trimmed().endsWith(';'))
        return Fail(Fault::Damaged, Tr("第 %1 行的语句到文件末尾也没有结束").arg(first));
    return Fail(Fault::Damaged, RefusalText(refusal, first, ScriptText::Decode(detail, encoding)));
}
