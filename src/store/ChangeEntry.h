#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

// One entry of a store's change history: who changed what and when, with the values before and
// after, chained to the entry before it by their hashes.
struct ChangeEntry {
    // What was done; stored as these texts.
    static const QString Add;
    static const QString Edit;
    static const QString Delete;
    static const QString Clear;
    static const QString Import;
    static const QString Restore;
    static const QString SignIn;
    static const QString FailedSignIn;
    static const QString UserChange;
    static const QString ListChange;
    static const QString Recover;

    qint64 seq = 0; // 1, 2, ... per store number
    QString time;   // "yyyy-MM-dd hh:mm:ss.zzz", local time
    QString storeNo;
    QString user;
    int role = 0;
    QString action;
    QString page;  // the table changed
    int kind = -1; // the record kind, -1 when the change has none
    QString serial;
    QString before; // rows as ChangeRows::Encode writes them
    QString after;
    QString note; // file name and counts of an import or restore, what else is worth saying
    QString prev; // the hash of the store's entry before this one, empty for the first
    QString hash;

    bool operator==(const ChangeEntry&) const = default;
};

// How values are kept in an entry: a compact JSON array whose first element names the columns in
// name order and each further element holds one row's values in that order, so the same rows
// always give the same text and a column's name is written once, however many rows an import or
// a clear keeps. Dates are written yyyy-MM-dd, numbers as numbers, NULL as null; no rows is "[]".
// Entries of earlier versions hold one object (column -> value) per row and read the same.
namespace ChangeRows
{
// `omit`: columns never written (a password).
QString Encode(const QStringList& columns, const QList<QVariantList>& rows,
               const QStringList& omit = {});
// The rows of an encoded text as value lists in `columns` order; a column the text does not name
// reads as a null text. False when the text is not such an array. With a `limit`, only the first
// `limit` rows are read, and `total` tells how many the text holds: a text of tens of thousands
// of rows is shown by its first few without building them all.
bool Decode(const QString& text, const QStringList& columns, QList<QVariantList>& rows,
            qsizetype limit = -1, qsizetype* total = nullptr);
// The columns the rows of a text name, in name order.
QStringList Columns(const QString& text);
} // namespace ChangeRows

// The hash chain of one store's entries.
namespace ChangeChain
{
// SHA-256 (hex) of the entry's content and the previous entry's hash.
QString Hash(const ChangeEntry& entry);

enum class Mark {
    Sound,
    Altered, // the entry's content does not give its hash: it was changed afterwards
    Broken,  // entries before it are missing, or one was put in or changed before it
};

// Marks each entry of one store, given all of them in sequence order.
QList<Mark> Check(const QList<ChangeEntry>& entries);
} // namespace ChangeChain
