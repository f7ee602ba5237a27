#include "ChangeEntry.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaType>
#include <algorithm>

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

// Written by hand rather than through QJsonObject, which costs several times more for the tens
// of thousands of rows of an import or a clear.
QString ChangeRows::Encode(const QStringList& columns, const QList<QVariantList>& rows,
                           const QStringList& omit)
{
    QList<qsizetype> order;
    for (qsizetype c = 0; c < columns.size(); ++c) {
        if (!omit.contains(columns.at(c)))
            order << c;
    }
    std::sort(order.begin(), order.end(),
              [&columns](qsizetype a, qsizetype b) { return columns.at(a) < columns.at(b); });
    QStringList names;
    for (qsizetype c : order) {
        QString name;
        AppendString(name, columns.at(c));
        names << name + QLatin1Char(':');
    }
    QString out = QStringLiteral("[");
    // A guess at the size, so the text is not copied again and again as it grows.
    out.reserve(rows.size() * order.size() * 16);
    for (qsizetype r = 0; r < rows.size(); ++r) {
        out += r == 0 ? QStringLiteral("{") : QStringLiteral(",{");
        bool first = true;
        for (qsizetype i = 0; i < order.size(); ++i) {
            if (order.at(i) >= rows.at(r).size())
                continue;
            if (!first)
                out += QLatin1Char(',');
            first = false;
            out += names.at(i);
            AppendValue(out, rows.at(r).at(order.at(i)));
        }
        out += QLatin1Char('}');
    }
    return out + QLatin1Char(']');
}

bool ChangeRows::Decode(const QString& text, const QStringList& columns, QList<QVariantList>& rows)
{
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    if (!document.isArray())
        return false;
    rows.clear();
    for (const QJsonValue& value : document.array()) {
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
    QStringList names;
    for (const QJsonValue& value : QJsonDocument::fromJson(text.toUtf8()).array()) {
        for (const QString& key : value.toObject().keys()) {
            if (!names.contains(key))
                names << key;
        }
    }
    names.sort();
    return names;
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
