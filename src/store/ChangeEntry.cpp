#include "ChangeEntry.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMetaType>

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

QJsonValue JsonValue(const QVariant& v)
{
    if (v.isNull())
        return QJsonValue::Null;
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Short:
        return QJsonValue(v.toLongLong());
    case QMetaType::QDate:
        return v.toDate().toString(Qt::ISODate);
    case QMetaType::QDateTime:
        return v.toDateTime().date().toString(Qt::ISODate);
    default:
        return v.toString();
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

QString ChangeRows::Encode(const QStringList& columns, const QList<QVariantList>& rows,
                           const QStringList& omit)
{
    QJsonArray array;
    for (const QVariantList& row : rows) {
        QJsonObject object;
        for (qsizetype c = 0; c < columns.size() && c < row.size(); ++c) {
            if (!omit.contains(columns.at(c)))
                object.insert(columns.at(c), JsonValue(row.at(c)));
        }
        array.append(object);
    }
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
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
    return QString::fromLatin1(
        QCryptographicHash::hash(content.join(QChar(0x1f)).toUtf8(), QCryptographicHash::Sha256)
            .toHex());
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
