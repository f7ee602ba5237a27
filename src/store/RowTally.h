#pragma once

#include "ScriptValue.h"
#include "SkipReport.h"

#include <QHash>
#include <QString>
#include <QStringList>

// A row's key (its table and the values of its key columns) in 128 bits: a million keys take a
// few tens of MiB where their texts would take hundreds, and two different keys of a file of a
// million rows share a digest with a chance of about one in 10^26.
struct KeyDigest {
    quint64 first = 0;
    quint64 second = 0;

    friend bool operator==(const KeyDigest& a, const KeyDigest& b)
    {
        return a.first == b.first && a.second == b.second;
    }
};

inline size_t qHash(const KeyDigest& key, size_t seed = 0)
{
    return size_t(key.first) ^ seed;
}

// For each key met more than once in a file: the line of its last row, the one restored.
using LastOfRepeated = QHash<KeyDigest, int>;

// Tells of each row of a script whether it is restored: rows of other stores are skipped, and of
// rows with the same key only the last is restored. Counts what it skips and the other store
// numbers it meets.
class RowTally
{
public:
    enum Verdict { Restore, Skip, Repeat };

    // With `lastOfRepeated` null the first repeated key ends the tally (Repeat): which row of it
    // is restored is not known yet; the tally then gathers them (LastOfRepeated()).
    RowTally(const QString& storeNo, ScriptEncoding encoding, const LastOfRepeated* lastOfRepeated,
             bool gather = false);

    Verdict Take(const ScannedRow& row);
    // Why the file cannot be restored although it reads well; empty when it can.
    QString Refusal() const;
    const SkipReport& Skipped() const { return skipped; }
    LastOfRepeated TakeLastOfRepeated() { return std::move(gathered); }

private:
    KeyDigest Digest(const ScannedRow& row);
    void NoteStore(const QString& store);

    const QByteArray storeNo;
    const ScriptEncoding encoding;
    const LastOfRepeated* lastOfRepeated;
    const bool gather;
    QHash<KeyDigest, int> lastLine;
    LastOfRepeated gathered;
    SkipReport skipped;
    QStringList otherStores;
    bool moreStores = false;
    qint64 rows = 0;
    qint64 own = 0;
    QByteArray text;
    QByteArray scratch;
};
