#include "ScriptReader.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QtNumeric>
#include <cstring>

namespace
{

// A statement that has run on this far without closing its quote is taken as damaged.
constexpr qsizetype MaxStatementLength = 64 * 1024 * 1024;
// No encoding takes more than four bytes for a character.
constexpr qsizetype MaxLineBytes = 4 * MaxStatementLength;
constexpr qsizetype ReadBytes = 1024 * 1024;

QString Tr(const char* text)
{
    return QCoreApplication::translate("ScriptReader", text);
}

// Why a statement is not one of the program's inserts.
enum class Refusal { None, NotInsert, ForeignTable, UnknownColumn, Malformed, NoEnd };

// Parses one whole statement (its lines joined by "\n"), once.
class StatementParser
{
public:
    StatementParser(QStringView text, bool keysOnly) : text(text), keysOnly(keysOnly) {}

    Refusal Run(ScriptRow& row)
    {
        Statement(row);
        return refusal;
    }
    // The table or column a refusal is about.
    QString Detail() const { return detail.toString(); }

private:
    bool Refuse(Refusal why, QStringView about = {})
    {
        refusal = why;
        detail = about;
        return false;
    }

    bool AtEnd() const { return at >= text.size(); }
    QChar Peek(qsizetype ahead = 0) const
    {
        return at + ahead < text.size() ? text.at(at + ahead) : QChar();
    }

    void SkipSpace()
    {
        while (!AtEnd() && text.at(at).isSpace())
            ++at;
    }

    static bool IsWordChar(QChar c)
    {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
               c == u'_';
    }

    QStringView Word()
    {
        SkipSpace();
        const qsizetype start = at;
        while (!AtEnd() && IsWordChar(text.at(at)))
            ++at;
        return text.mid(start, at - start);
    }

    bool Symbol(QChar symbol)
    {
        SkipSpace();
        if (Peek() != symbol)
            return false;
        ++at;
        return true;
    }

    static int IndexOf(const QStringList& names, QStringView name)
    {
        for (qsizetype i = 0; i < names.size(); ++i) {
            if (name.compare(names.at(i), Qt::CaseInsensitive) == 0)
                return int(i);
        }
        return -1;
    }

    static int TableIndex(QStringView name)
    {
        const QList<TableSchema>& tables = Schema::Tables();
        for (qsizetype i = 0; i < tables.size(); ++i) {
            if (name.compare(tables.at(i).name, Qt::CaseInsensitive) == 0)
                return int(i);
        }
        return -1;
    }

    // A check of the file needs only the store number and the key of a row.
    bool Keep(const TableSchema& table, int column) const
    {
        return !keysOnly || column == table.columns.size() - 1 || table.key.contains(column);
    }

    bool Statement(ScriptRow& row)
    {
        if (Word().compare(QLatin1String("insert"), Qt::CaseInsensitive) != 0)
            return Refuse(Refusal::NotInsert);
        if (Word().compare(QLatin1String("into"), Qt::CaseInsensitive) != 0)
            return Refuse(Refusal::Malformed);
        const QStringView tableName = Word();
        row.tableIndex = TableIndex(tableName);
        if (row.tableIndex < 0)
            return Refuse(tableName.isEmpty() ? Refusal::Malformed : Refusal::ForeignTable,
                          tableName);
        row.table = &Schema::Tables().at(row.tableIndex);
        if (!Symbol(u'('))
            return Refuse(Refusal::Malformed);
        row.columns.clear();
        do {
            const QStringView name = Word();
            if (name.isEmpty())
                return Refuse(Refusal::Malformed);
            const int column = IndexOf(row.table->columns, name);
            if (column < 0)
                return Refuse(Refusal::UnknownColumn, name);
            if (row.columns.contains(column))
                return Refuse(Refusal::Malformed);
            row.columns << column;
        } while (Symbol(u','));
        if (!Symbol(u')') || Word().compare(QLatin1String("values"), Qt::CaseInsensitive) != 0 ||
            !Symbol(u'('))
            return Refuse(Refusal::Malformed);
        row.values.clear();
        do {
            if (row.values.size() == row.columns.size())
                return Refuse(Refusal::Malformed);
            const int column = row.columns.at(row.values.size());
            QVariant value;
            if (!Value(row.table->types.at(column), Keep(*row.table, column), value))
                return Refuse(Refusal::Malformed);
            row.values << value;
        } while (Symbol(u','));
        if (!Symbol(u')') || row.values.size() != row.columns.size())
            return Refuse(Refusal::Malformed);
        const bool ended = Symbol(u';');
        SkipSpace();
        if (!AtEnd())
            return Refuse(Refusal::Malformed);
        return ended || Refuse(Refusal::NoEnd);
    }

    // A quoted text after its opening quote, kept in `out` when asked.
    bool Quoted(bool keep, QString& out)
    {
        for (;;) {
            const qsizetype quote = text.indexOf(u'\'', at);
            if (quote < 0)
                return false;
            if (keep)
                out += text.mid(at, quote - at);
            at = quote + 1;
            if (Peek() != u'\'')
                return true;
            if (keep)
                out += u'\'';
            ++at;
        }
    }

    bool Value(const QString& type, bool keep, QVariant& value)
    {
        const bool intColumn = type == QLatin1String("int");
        SkipSpace();
        const QChar c = Peek();
        if (c == u'\'') {
            ++at;
            QString quoted(QLatin1String("")); // an empty text stays empty, not NULL
            if (!Quoted(keep, quoted))
                return false;
            if (keep)
                value = quoted;
            return true;
        }
        if ((c == u'E' || c == u'e') && Peek(1) == u'\'') {
            at += 2;
            const qsizetype quote = text.indexOf(u'\'', at);
            if (quote < 0)
                return false;
            const QStringView hex = text.mid(at, quote - at);
            for (QChar h : hex) {
                if (!h.isDigit() && !(h >= u'a' && h <= u'f') && !(h >= u'A' && h <= u'F'))
                    return false;
            }
            if (hex.size() % 2 != 0)
                return false;
            if (keep)
                value = QByteArray::fromHex(hex.toLatin1());
            at = quote + 1;
            return true;
        }
        const qsizetype start = at;
        while (!AtEnd() && (IsWordChar(text.at(at)) || text.at(at) == u'.' || text.at(at) == u'-' ||
                            text.at(at) == u'+'))
            ++at;
        const QStringView token = text.mid(start, at - start);
        if (token.compare(QLatin1String("null"), Qt::CaseInsensitive) == 0) {
            if (keep)
                value = intColumn ? QVariant(QMetaType::fromType<int>())
                                  : QVariant(QMetaType::fromType<QString>());
            return true;
        }
        if (IsDate(token)) {
            if (keep)
                value = token.toString();
            return true;
        }
        bool number = false;
        const double real = token.toDouble(&number);
        if (!number || !qIsFinite(real))
            return false;
        if (!keep)
            return true;
        if (!intColumn) {
            value = token.toString(); // the digits exactly as written
            return true;
        }
        bool integral = false;
        const qlonglong whole = token.toLongLong(&integral);
        value = integral ? QVariant(whole) : QVariant(real);
        return true;
    }

    static bool IsDate(QStringView token)
    {
        if (token.size() != 10 || token.at(4) != u'-' || token.at(7) != u'-')
            return false;
        for (qsizetype i : {0, 1, 2, 3, 5, 6, 8, 9}) {
            if (!token.at(i).isDigit())
                return false;
        }
        return true;
    }

    const QStringView text;
    const bool keysOnly;
    qsizetype at = 0;
    Refusal refusal = Refusal::None;
    QStringView detail;
};

QString RefusalText(Refusal refusal, int line, const QString& detail)
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

QStringDecoder DecoderFor(ScriptEncoding encoding)
{
    // Every line is decoded on its own: a character cut by a line end is an error, and a byte
    // order mark inside the file stays a character of its text.
    const QStringConverter::Flags flags =
        QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;
    return encoding == ScriptEncoding::Utf8 ? QStringDecoder(QStringConverter::Utf8, flags)
                                            : QStringDecoder("GB18030", flags);
}

} // namespace

ScriptReader::ScriptReader(QIODevice& device, ScriptEncoding encoding, Values values)
    : device(device), encoding(encoding), decoder(DecoderFor(encoding)), values(values),
      sinceCompletenessLine(Schema::Tables().size(), 0)
{
    // A Qt built without ICU has no GB18030.
    if (!decoder.isValid())
        Fail(Fault::Encoding, Tr("本机的 Qt 无法读取 GB18030 编码的文字"));
}

bool ScriptReader::Complete() const
{
    if (!completenessLineSeen)
        return false;
    for (qint64 rows : sinceCompletenessLine) {
        if (rows > 0)
            return false;
    }
    return true;
}

bool ScriptReader::Fail(Fault kind, const QString& why)
{
    fault = kind;
    faultText = why;
    return false;
}

bool ScriptReader::RawLine(QByteArrayView& line)
{
    for (;;) {
        const qsizetype end = block.indexOf('\n', searched);
        if (end >= 0) {
            line = QByteArrayView(block).sliced(start, end - start);
            start = searched = end + 1;
            return true;
        }
        if (deviceDone) {
            if (start >= block.size())
                return false;
            line = QByteArrayView(block).sliced(start);
            start = searched = block.size();
            return true;
        }
        const qsizetype kept = block.size() - start;
        if (kept > MaxLineBytes)
            return Fail(Fault::Damaged, Tr("第 %1 行过长，无法读取").arg(lineNumber + 1));
        // The unfinished line moves to the front, and more of the file is read behind it.
        if (start > 0) {
            std::memmove(block.data(), block.constData() + start, size_t(kept));
            block.resize(kept);
            start = 0;
        }
        searched = block.size();
        block.resize(kept + ReadBytes);
        const qint64 got = device.read(block.data() + kept, ReadBytes);
        block.resize(kept + qMax<qint64>(got, 0));
        if (got < 0)
            return Fail(Fault::ReadFailed, device.errorString());
        deviceDone = got == 0;
    }
}

bool ScriptReader::AtEndOfFile() const
{
    return start >= block.size() && (deviceDone || device.atEnd());
}

bool ScriptReader::AppendLine()
{
    QByteArrayView bytes;
    if (!RawLine(bytes))
        return false;
    ++lineNumber;
    const qsizetype from = text.size();
    text.resize(from + decoder.requiredSpace(bytes.size()));
    const QChar* end = decoder.appendToBuffer(text.data() + from, bytes);
    text.resize(end - text.constData());
    // A replacement character would stand for bytes that could not be read.
    if (decoder.hasError() ||
        (encoding == ScriptEncoding::Gb18030 &&
         QStringView(text).sliced(from).contains(QChar::ReplacementCharacter)))
        return Fail(Fault::Encoding,
                    Tr("第 %1 行的文字无法按 %2 编码读取")
                        .arg(lineNumber)
                        .arg(encoding == ScriptEncoding::Utf8 ? QStringLiteral("UTF-8")
                                                              : QStringLiteral("GB18030")));
    if (lineNumber == 1 && text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);
    return true;
}

bool ScriptReader::TakeCompletenessLine(QStringView line, int number)
{
    CompletenessLine::Counts counts;
    if (!CompletenessLine::Read(line, counts))
        return Fail(Fault::Damaged, Tr("第 %1 行的完整性记录无法读取").arg(number));
    const QList<TableSchema>& tables = Schema::Tables();
    for (qsizetype i = 0; i < tables.size(); ++i) {
        if (counts.at(i) != sinceCompletenessLine.at(i))
            return Fail(Fault::Damaged, Tr("第 %1 行的完整性记录写明 %2 有 %3 行，文件中却有 %4 行")
                                            .arg(number)
                                            .arg(tables.at(i).name)
                                            .arg(counts.at(i))
                                            .arg(sinceCompletenessLine.at(i)));
    }
    sinceCompletenessLine.fill(0);
    completenessLineSeen = true;
    return true;
}

bool ScriptReader::Next(ScriptRow& row)
{
    while (fault == Fault::None) {
        text.truncate(0);
        if (!AppendLine())
            return false;
        const int first = lineNumber;
        const QStringView line = QStringView(text).trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(QLatin1String("--"))) {
            if (!CompletenessLine::IsOne(line))
                return Fail(Fault::Damaged, RefusalText(Refusal::NotInsert, first, QString()));
            if (!TakeCompletenessLine(line, first))
                return false;
            continue;
        }
        // Quotes come in pairs in a whole statement ('' and E'..' included): while one is open,
        // the statement goes on over the next line. Each line is looked at once.
        qsizetype quotes = text.count(u'\'');
        while (quotes % 2 != 0) {
            if (text.size() > MaxStatementLength)
                return Fail(Fault::Damaged, Tr("第 %1 行开始的引号在 %2 个字符内没有闭合")
                                                .arg(first)
                                                .arg(MaxStatementLength));
            const qsizetype from = text.size();
            text += u'\n';
            if (!AppendLine()) {
                if (fault == Fault::None)
                    Fail(Fault::Damaged, Tr("第 %1 行开始的引号到文件末尾也没有闭合").arg(first));
                return false;
            }
            quotes += QStringView(text).sliced(from).count(u'\'');
        }
        StatementParser parser(text, values == KeysOnly);
        const Refusal refusal = parser.Run(row);
        if (refusal != Refusal::None) {
            // A statement that the file ends in before its semicolon was cut off.
            if (AtEndOfFile() && !QStringView(text).trimmed().endsWith(u';'))
                return Fail(Fault::Damaged, Tr("第 %1 行的语句到文件末尾也没有结束").arg(first));
            return Fail(Fault::Damaged, RefusalText(refusal, first, parser.Detail()));
        }
        row.line = first;
        ++sinceCompletenessLine[row.tableIndex];
        return true;
    }
    return false;
}
