#include "SharedFormula.h"

#include "XlsxText.h"

#include <QRegularExpression>

namespace
{

constexpr int MaxRow = 1048576;
constexpr int MaxColumn = 16384;

bool IsWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == '_' || c == '.' || c == '$' || c == '\\';
}

int ColumnNumber(const QString& letters)
{
    int column = 0;
    for (const QChar c : letters)
        column = column * 26 + (c.toUpper().unicode() - 'A' + 1);
    return column;
}

// Copies a quoted text or sheet name with its quotes; a doubled quote stays inside.
qsizetype CopyQuoted(const QString& formula, qsizetype at, QString& out)
{
    const QChar quote = formula[at];
    qsizetype i = at + 1;
    while (i < formula.size()) {
        if (formula[i] == quote && (i + 1 >= formula.size() || formula[i + 1] != quote))
            break;
        i += formula[i] == quote ? 2 : 1;
    }
    const qsizetype end = std::min(i + 1, formula.size());
    out += QStringView(formula).mid(at, end - at);
    return end;
}

class Shifter
{
public:
    Shifter(int rows, int columns) : rows(rows), columns(columns) {}

    // The word moved, or empty when it is no reference.
    QString Word(const QString& word, bool besideColon) const
    {
        static const QRegularExpression cell(
            QStringLiteral("^(\\$?)([A-Za-z]{1,3})(\\$?)([0-9]{1,7})$"));
        static const QRegularExpression column(QStringLiteral("^(\\$?)([A-Za-z]{1,3})$"));
        static const QRegularExpression row(QStringLiteral("^(\\$?)([0-9]{1,7})$"));
        if (const auto match = cell.match(word); match.hasMatch()) {
            const QString c = Column(match.captured(1), match.captured(2));
            const QString r = Row(match.captured(3), match.captured(4));
            return c.isEmpty() || r.isEmpty() ? QStringLiteral("#REF!") : c + r;
        }
        if (!besideColon)
            return {};
        if (const auto match = column.match(word); match.hasMatch()) {
            const QString c = Column(match.captured(1), match.captured(2));
            return c.isEmpty() ? QStringLiteral("#REF!") : c;
        }
        if (const auto match = row.match(word); match.hasMatch()) {
            const QString r = Row(match.captured(1), match.captured(2));
            return r.isEmpty() ? QStringLiteral("#REF!") : r;
        }
        return {};
    }

private:
    QString Column(const QString& anchor, const QString& letters) const
    {
        const int number = ColumnNumber(letters) + (anchor.isEmpty() ? columns : 0);
        if (number < 1 || number > MaxColumn)
            return {};
        return anchor + XlsxText::ColumnName(number);
    }

    QString Row(const QString& anchor, const QString& digits) const
    {
        const int number = digits.toInt() + (anchor.isEmpty() ? rows : 0);
        if (number < 1 || number > MaxRow)
            return {};
        return anchor + QString::number(number);
    }

    int rows;
    int columns;
};

} // namespace

QString SharedFormula::Shift(const QString& formula, int rows, int columns)
{
    const Shifter shifter(rows, columns);
    QString out;
    qsizetype i = 0;
    while (i < formula.size()) {
        const QChar c = formula[i];
        if (c == '"' || c == '\'') {
            i = CopyQuoted(formula, i, out);
        } else if (c == '[') {
            // Table columns and external workbooks are named, not referenced by position.
            const qsizetype close = formula.indexOf(']', i);
            const qsizetype end = close < 0 ? formula.size() : close + 1;
            out += QStringView(formula).mid(i, end - i);
            i = end;
        } else if (IsWordCharacter(c)) {
            qsizetype end = i;
            while (end < formula.size() && IsWordCharacter(formula[end]))
                ++end;
            const QString word = formula.mid(i, end - i);
            const QChar next = end < formula.size() ? formula[end] : QChar();
            // Function names and sheet names are followed by "(" and "!".
            const bool named = next == '(' || next == '!';
            const bool besideColon = next == ':' || (i > 0 && formula[i - 1] == ':');
            const QString moved = named ? QString() : shifter.Word(word, besideColon);
            out += moved.isEmpty() ? word : moved;
            i = end;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}
