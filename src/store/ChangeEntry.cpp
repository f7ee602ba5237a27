#include "ChangeEntry.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaType>
#include <algorithm>
#include <optional>

const QString ChangeEntry::Add = QStringLiteral("add");
const QString ChangeEntry::Edit = QStringLiteral("edit");
const QString ChangeEntry::Delete = QStringLiteral("delete");
const QString ChangeEntry::Clear = QStringLiteral("clear");
const QString ChangeEntry::Import = QStringLiteral("import");
const QString ChangeEntry::Restore = QStringLiteral("restore");
const QString ChangeEntry::SignIn = QStringLiteral("sign-in");
const QString ChangeEntry::FailedSignIn = QStringLiteral("failed-sign-in");
const QString ChangeEntry::UserChange = QStringLiteral("user");
const QString ChangeEntry::ListChange = QStringLiteral("list");
const QString ChangeEntry::Recover = QStringLiteral("recover");

namespace
{

// Appends `text` as a JSON string.
void AppendString(QString& out, const QString& text)
{
    out += QLatin1Char('"');
    const auto plain = [](QChar c) {
        return c != QLatin1Char('"') && c != QLatin1Char('\\') && c.unicode() >= 0x20;
    };
    if (std::all_of(text.cbegin(), text.cend(), plain)) {
        out += text;
    } else {
        for (const QChar c : text) {
            if (plain(c))
                out += c;
            else if (c.unicode() >= 0x20)
                out += QLatin1Char('\\') + QString(c);
            else
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        }
    }
    out += QLatin1Char('"');
}

// Appends a value as JSON: NULL as null, whole numbers as numbers, dates as yyyy-MM-dd, anything
// else as its text.
void AppendValue(QString& out, const QVariant& v)
{
    if (v.isNull()) {
        out += QLatin1String("null");
        return;
    }
    // Most values are texts: appended as the variant holds them, without a copy.
    if (v.typeId() == QMetaType::QString) {
        AppendString(out, *static_cast<const QString*>(v.constData()));
        return;
    }
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Short:
        out += QString::number(v.toLongLong());
        return;
    case QMetaType::QDate:
        AppendString(out, v.toDate().toString(Qt::ISODate));
        return;
    case QMetaType::QDateTime:
        AppendString(out, v.toDateTime().date().toString(Qt::ISODate));
        return;
    default:
        AppendString(out, v.toString());
    }
}

QVariant FromJson(const QJsonValue& v)
{
    if (v.isDouble())
        return QVariant(v.toInteger());
    if (v.isString())
        return v.toString();
    return QVariant(QMetaType::fromType<QString>());
}

} // namespace

// Written by hand rather than through QJsonArray, which costs several times more for the tens
// of thousands of rows of an import or a clear.
QString ChangeRows::Encode(const QStringList& columns, const QList<QVariantList>& rows,
                           const QStringList& omit)
{
    if (rows.isEmpty())
        return QStringLiteral("[]");
    QList<qsizetype> order;
    for (qsizetype c = 0; c < columns.size(); ++c) {
        if (!omit.contains(columns.at(c)))
            order << c;
    }
    std::sort(order.begin(), order.end(),
              [&columns](qsizetype a, qsizetype b) { return columns.at(a) < columns.at(b); });
    QString out = QStringLiteral("[[");
    for (qsizetype i = 0; i < order.size(); ++i) {
        if (i > 0)
            out += QLatin1Char(',');
        AppendString(out, columns.at(order.at(i)));
    }
    out += QLatin1Char(']');
    const qsizetype headerSize = out.size();
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QVariantList& row = rows.at(r);
        // Room for all rows at the first one's length and a quarter more, so the text of tens of
        // thousands of rows is not copied again and again as it grows.
        if (r == 1)
            out.reserve(out.size() + (out.size() - headerSize) * rows.size() * 5 / 4);
        out += QStringLiteral(",[");
        for (qsizetype i = 0; i < order.size(); ++i) {
            if (i > 0)
                out += QLatin1Char(',');
            if (order.at(i) < row.size())
                AppendValue(out, row.at(order.at(i)));
            else
                out += QLatin1String("null");
        }
        out += QLatin1Char(']');
    }
    out += QLatin1Char(']');
    return out;
}

namespace
{

// The column names of an encoded text: its first element, or in texts of one object per row,
// every name the objects use.
QStringList Names(const QJsonArray& array)
{
    if (!array.isEmpty() && array.first().isArray()) {
        QStringList names;
        for (const QJsonValue& name : array.first().toArray())
            names << name.toString();
        return names;
    }
    QStringList names;
    for (const QJsonValue& value : array) {
        for (const QString& key : value.toObject().keys()) {
            if (!names.contains(key))
                names << key;
        }
    }
    names.sort();
    return names;
}

// Where the first `count` elements of a JSON array text end (-1 when it holds fewer), and how
// many elements it holds: a pass over the characters, without building any value.
struct Elements {
    qsizetype end = -1;
    qsizetype total = 0;
};

Elements ScanElements(QStringView text, qsizetype count)
{
    Elements found;
    int depth = 0;
    bool inString = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (inString) {
            if (c == QLatin1Char('\\'))
                ++i;
            else if (c == QLatin1Char('"'))
                inString = false;
        } else if (c == QLatin1Char('"')) {
            inString = true;
        } else if (c == QLatin1Char('[') || c == QLatin1Char('{')) {
            ++depth;
        } else if ((c == QLatin1Char(']') || c == QLatin1Char('}')) && --depth == 1 &&
                   ++found.total == count) {
            found.end = i + 1;
        }
    }
    return found;
}

// The array of the first `count` elements of a text (all of them when `count` is negative or
// the text holds no more) and how many it holds; nothing when the text is not a JSON array.
std::optional<QJsonArray> FirstElements(const QString& text, qsizetype count, qsizetype& total)
{
    const Elements elements = ScanElements(text, count);
    total = elements.total;
    const QJsonDocument document = QJsonDocument::fromJson(
        count < 0 || elements.end < 0 ? text.toUtf8()
                                      : QStringView(text).left(elements.end).toUtf8() + ']');
    if (!document.isArray())
        return std::nullopt;
    return document.array();
}

// Whether the rows of a text name their columns once, in its first element.
bool Named(const QString& text)
{
    return text.startsWith(QLatin1String("[["));
}

} // namespace

bool ChangeRows::Decode(const QString& text, const QStringList& columns, QList<QVariantList>& rows,
                        qsizetype limit, qsizetype* total)
{
    const bool named = Named(text);
    qsizetype elements = 0;
    const std::optional<QJsonArray> array =
        FirstElements(text, limit < 0 ? -1 : limit + (named ? 1 : 0), elements);
    if (!array)
        return false;
    rows.clear();
    if (total)
        *total = named ? elements - 1 : elements;
    if (named) {
        const QStringList names = Names(*array);
        QList<qsizetype> at;
        for (const QString& column : columns)
            at << names.indexOf(column);
        for (qsizetype r = 1; r < array->size(); ++r) {
            const QJsonArray values = array->at(r).toArray();
            QVariantList row;
            for (const qsizetype c : std::as_const(at))
                row << FromJson(c < 0 ? QJsonValue() : values.at(c));
            rows << row;
        }
        return true;
    }
    for (const QJsonValue& value : *array) {
        const QJsonObject object = value.toObject();
        QVariantList row;
        for (const QString& column : columns)
            row << FromJson(object.value(column));
        rows << row;
    }
    return true;
}

QStringList ChangeRows::Columns(const QString& text)
{
    qsizetype total = 0;
    // Rows that name their columns once need only their first element read.
    return Names(FirstElements(text, Named(text) ? 1 : -1, total).value_or(QJsonArray()));
}

QString ChangeChain::Hash(const ChangeEntry& e)
{
    // Unit separators keep "ab"+"c" apart from "a"+"bc".
    const QStringList content = {QString::number(e.seq),
                                 e.time,
                                 e.storeNo,
                                 e.user,
                                 QString::number(e.role),
                                 e.action,
                                 e.page,
                                 QString::number(e.kind),
                                 e.serial,
                                 e.before,
                                 e.after,
                                 e.note,
                                 e.prev};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (qsizetype i = 0; i < content.size(); ++i) {
        if (i > 0)
            hash.addData(QByteArrayView("\x1f", 1));
        hash.addData(content.at(i).toUtf8());
    }
    return QString::fromLatin1(hash.result().toHex());
}

QList<ChangeChain::Mark> ChangeChain::Check(const QList<ChangeEntry>& entries)
{
    QList<Mark> marks;
    marks.reserve(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const ChangeEntry& e = entries.at(i);
        const bool linked =
            i == 0 ? e.seq == 1 && e.prev.isEmpty()
                   : e.seq == entries.at(i - 1).seq + 1 && e.prev == entries.at(i - 1).hash;
        if (Hash(e) != e.hash)
            marks << Mark::Altered;
        else
            marks << (linked ? Mark::Sound : Mark::Broken);
    }
    return marks;
}
