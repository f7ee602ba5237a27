#include "ScriptReader.h"

#include <QIODevice>
#include <QtNumeric>
#include <optional>

namespace
{

// A statement that has run on this far without closing its quote is taken as broken.
constexpr qsizetype MaxStatementLength = 64 * 1024 * 1024;

const QString StoreColumn = QStringLiteral("store_no");

enum class Parse { Row, Incomplete, Skip };

// Parses one statement held in `text` (its lines joined by "\n").
class StatementParser
{
public:
    StatementParser(const QString& text, bool storeOnly) : text(text), storeOnly(storeOnly) {}

    Parse Run(ScriptRow& row, SkipReason& reason)
    {
        std::optional<Parse> result = Statement(row);
        if (!result) {
            reason = failure;
            return Parse::Skip;
        }
        return *result;
    }

private:
    std::optional<Parse> Fail(SkipReason reason)
    {
        failure = reason;
        return std::nullopt;
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
        return QStringView(text).mid(start, at - start);
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

    static const TableSchema* Table(QStringView name)
    {
        for (const TableSchema& table : Schema::Tables()) {
            if (name.compare(table.name, Qt::CaseInsensitive) == 0)
                return &table;
        }
        return nullptr;
    }

    std::optional<Parse> Statement(ScriptRow& row)
    {
        if (Word().compare(QLatin1String("insert"), Qt::CaseInsensitive) != 0)
            return Fail(SkipReason::NotInsert);
        if (Word().compare(QLatin1String("into"), Qt::CaseInsensitive) != 0)
            return Fail(SkipReason::Malformed);
        const QStringView tableName = Word();
        row.table = Table(tableName);
        if (!row.table)
            return Fail(tableName.isEmpty() ? SkipReason::Malformed : SkipReason::ForeignTable);
        if (!Symbol(u'('))
            return Fail(SkipReason::Malformed);
        row.columns.clear();
        do {
            const QStringView name = Word();
            if (name.isEmpty())
                return Fail(SkipReason::Malformed);
            const int column = IndexOf(row.table->columns, name);
            if (column < 0)
                return Fail(SkipReason::UnknownColumn);
            if (row.columns.contains(column))
                return Fail(SkipReason::Malformed);
            row.columns << column;
        } while (Symbol(u','));
        if (!Symbol(u')') || Word().compare(QLatin1String("values"), Qt::CaseInsensitive) != 0 ||
            !Symbol(u'('))
            return Fail(SkipReason::Malformed);
        row.values.clear();
        do {
            if (row.values.size() == row.columns.size())
                return Fail(SkipReason::Malformed);
            const int column = row.columns.at(row.values.size());
            const bool keep = !storeOnly || row.table->columns.at(column) == StoreColumn;
            QVariant value;
            std::optional<Parse> read = Value(row.table->types.at(column), keep, value);
            if (!read || *read == Parse::Incomplete)
                return read;
            row.values << value;
        } while (Symbol(u','));
        if (!Symbol(u')') || row.values.size() != row.columns.size())
            return Fail(SkipReason::Malformed);
        Symbol(u';');
        SkipSpace();
        if (!AtEnd())
            return Fail(SkipReason::Malformed);
        return Parse::Row;
    }

    // A quoted text after its opening quote, kept in `out` when asked; Incomplete when the
    // text ends inside it.
    std::optional<Parse> Quoted(bool keep, QString& out)
    {
        for (;;) {
            const qsizetype quote = text.indexOf(u'\'', at);
            if (quote < 0)
                return Parse::Incomplete;
            if (keep)
                out += QStringView(text).mid(at, quote - at);
            at = quote + 1;
            if (Peek() != u'\'')
                return Parse::Row;
            if (keep)
                out += u'\'';
            ++at;
        }
    }

    std::optional<Parse> Value(const QString& type, bool keep, QVariant& value)
    {
        const bool intColumn = type == QLatin1String("int");
        SkipSpace();
        const QChar c = Peek();
        if (c == u'\'') {
            ++at;
            QString quoted(QLatin1String("")); // an empty text stays empty, not NULL
            std::optional<Parse> read = Quoted(keep, quoted);
            if (keep)
                value = quoted;
            return read;
        }
        if ((c == u'E' || c == u'e') && Peek(1) == u'\'') {
            at += 2;
            const qsizetype quote = text.indexOf(u'\'', at);
            if (quote < 0)
                return Fail(SkipReason::Malformed);
            const QStringView hex = QStringView(text).mid(at, quote - at);
            for (QChar h : hex) {
                if (!h.isDigit() && !(h >= u'a' && h <= u'f') && !(h >= u'A' && h <= u'F'))
                    return Fail(SkipReason::Malformed);
            }
            if (hex.size() % 2 != 0)
                return Fail(SkipReason::Malformed);
            value = QByteArray::fromHex(hex.toLatin1());
            at = quote + 1;
            return Parse::Row;
        }
        const qsizetype start = at;
        while (!AtEnd() && (IsWordChar(text.at(at)) || text.at(at) == u'.' || text.at(at) == u'-' ||
                            text.at(at) == u'+'))
            ++at;
        const QStringView token = QStringView(text).mid(start, at - start);
        if (token.compare(QLatin1String("null"), Qt::CaseInsensitive) == 0) {
            value = intColumn ? QVariant(QMetaType::fromType<int>())
                              : QVariant(QMetaType::fromType<QString>());
            return Parse::Row;
        }
        if (IsDate(token)) {
            value = token.toString();
            return Parse::Row;
        }
        bool number = false;
        const double real = token.toDouble(&number);
        if (!number || !qIsFinite(real))
            return Fail(SkipReason::Malformed);
        if (!intColumn) {
            value = token.toString(); // the digits exactly as written
            return Parse::Row;
        }
        bool integral = false;
        const qlonglong whole = token.toLongLong(&integral);
        value = integral ? QVariant(whole) : QVariant(real);
        return Parse::Row;
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

    const QString& text;
    const bool storeOnly;
    qsizetype at = 0;
    SkipReason failure = SkipReason::Malformed;
};

} // namespace

ScriptReader::ScriptReader(QIODevice& device, Values values) : device(device), values(values) {}

bool ScriptReader::TakeLine(std::pair<int, QString>& line)
{
    if (!pending.empty()) {
        line = std::move(pending.front());
        pending.pop_front();
        return true;
    }
    if (readFailed || device.atEnd())
        return false;
    QByteArray bytes = device.readLine();
    if (bytes.isEmpty()) {
        readFailed = !device.atEnd();
        return false;
    }
    if (bytes.endsWith('\n'))
        bytes.chop(1);
    line = {++lineNumber, QString::fromUtf8(bytes)};
    return true;
}

bool ScriptReader::Next(ScriptRow& row, SkipReport& skipped)
{
    std::pair<int, QString> first;
    while (TakeLine(first)) {
        if (first.second.trimmed().isEmpty())
            continue;
        QString text = first.second;
        std::deque<std::pair<int, QString>> following;
        for (;;) {
            SkipReason reason = SkipReason::Malformed;
            const Parse parsed = StatementParser(text, values == StoreOnly).Run(row, reason);
            if (parsed == Parse::Row) {
                row.line = first.first;
                return true;
            }
            std::pair<int, QString> next;
            if (parsed == Parse::Incomplete && text.size() < MaxStatementLength && TakeLine(next)) {
                text += u'\n';
                text += next.second;
                following.push_back(std::move(next));
                continue;
            }
            // The statement is refused from its first line; the lines it ran on over are read
            // again, so a stray quote costs only its own line.
            skipped.Add(first.first, parsed == Parse::Incomplete ? SkipReason::Malformed : reason);
            pending.insert(pending.begin(), std::make_move_iterator(following.begin()),
                           std::make_move_iterator(following.end()));
            break;
        }
    }
    return false;
}
