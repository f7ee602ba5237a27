#include "ScriptRestorer.h"

#include "StoreConnection.h"

#include "BulkInserter.h"
#include "ScriptReader.h"
#include "TableStatistics.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

namespace
{

constexpr qint64 ProgressEvery = 5000;
// Store numbers named when a file holds no row of this store.
constexpr qsizetype ShownStores = 5;

QString Tr(const char* text)
{
    return QCoreApplication::translate("ScriptRestorer", text);
}

QString OpenError(const QFile& file)
{
    return Tr("无法打开文件 %1：%2").arg(file.fileName(), file.errorString());
}

QString ReadError(const QFile& file, const ScriptReader& reader)
{
    return Tr("文件 %1 第 %2 行之后无法读取：%3")
        .arg(file.fileName())
        .arg(reader.LineNumber())
        .arg(file.errorString());
}

QString WriteError(int line, const QString& error)
{
    return Tr("第 %1 行附近的数据无法写入：%2").arg(line).arg(error);
}

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

size_t qHash(const KeyDigest& key, size_t seed = 0)
{
    return size_t(key.first) ^ seed;
}

class KeyDigester
{
public:
    KeyDigest Of(const ScriptRow& row)
    {
        text.truncate(0);
        text += QChar(char16_t(row.tableIndex));
        for (int column : row.table->key) {
            const QVariant value = row.ValueOf(column);
            const QString valueText = value.toString();
            // Each value goes with its length, and a NULL differs from an empty text as it does
            // in the database.
            text += value.isNull() ? u'n' : u't';
            text += QChar(char16_t(valueText.size() & 0xffff));
            text += QChar(char16_t(valueText.size() >> 16));
            text += valueText;
        }
        const size_t bytes = size_t(text.size()) * sizeof(QChar);
        return {quint64(qHashBits(text.constData(), bytes, size_t(0x9e3779b97f4a7c15ULL))),
                quint64(qHashBits(text.constData(), bytes, size_t(0xc2b2ae3d27d4eb4fULL)))};
    }

private:
    QString text;
};

// What the first reading of a file finds: this store's rows and their keys, the rows skipped and
// the other store numbers met.
class FirstReading
{
public:
    explicit FirstReading(const QString& storeNo) : storeNo(storeNo) {}

    void Take(const ScriptRow& row)
    {
        ++rows;
        if (row.StoreNo() != storeNo) {
            skipped.Add(row.line, SkipReason::OtherStore);
            NoteStore(row.StoreNo());
            return;
        }
        ++own;
        const KeyDigest key = digester.Of(row);
        int& last = lastLine[key];
        if (last > 0) {
            ++repeats;
            skipped.Add(last, SkipReason::Repeated);
            lastOfRepeated.insert(key, row.line);
        }
        last = row.line;
    }

    // Why the file cannot be restored although it reads well; empty when it can.
    QString Refusal() const
    {
        if (rows == 0)
            return Tr("文件中没有任何数据，不能用它还原（还原会先删除本门店现有的全部数据）");
        if (own > 0)
            return QString();
        QStringList stores = otherStores;
        for (QString& store : stores) {
            if (store.isEmpty())
                store = Tr("（无门店编号）");
        }
        return Tr("文件中没有本门店的数据：文件中的行属于门店 %1%2，本机的门店编号是 %3（取自"
                  "配置文件中的 StoreNo/No）")
            .arg(stores.join(QStringLiteral("、")), moreStores ? Tr("等") : QString(), storeNo);
    }

    qint64 RowsToRestore() const { return own - repeats; }
    const SkipReport& Skipped() const { return skipped; }
    // For each key met more than once: the line of its last row, the one restored.
    QHash<KeyDigest, int> TakeLastOfRepeated() { return std::move(lastOfRepeated); }

private:
    void NoteStore(const QString& store)
    {
        if (otherStores.contains(store))
            return;
        if (otherStores.size() < ShownStores)
            otherStores << store;
        else
            moreStores = true;
    }

    const QString storeNo;
    KeyDigester digester;
    QHash<KeyDigest, int> lastLine;
    QHash<KeyDigest, int> lastOfRepeated;
    SkipReport skipped;
    QStringList otherStores;
    bool moreStores = false;
    qint64 rows = 0;
    qint64 own = 0;
    qint64 repeats = 0;
};

} // namespace

// What the first reading of a file found.
struct ScriptRestorer::Checked {
    ScriptEncoding encoding = ScriptEncoding::Utf8;
    qint64 rows = 0; // the rows to restore
    // For each key met more than once: the line of its last row, the one restored.
    QHash<KeyDigest, int> lastOfRepeated;
};

ScriptRestorer::ScriptRestorer(QSqlDatabase db, const QString& storeNo) : db(db), storeNo(storeNo)
{
}

bool ScriptRestorer::Stopped(RestoreResult& result) const
{
    if (!stop || !stop())
        return false;
    result.error = Tr("还原已取消");
    return true;
}

bool ScriptRestorer::Check(const QString& path, Checked& checked, RestoreResult& result) const
{
    // A file that is not UTF-8 is read again as GB18030.
    for (ScriptEncoding encoding : {ScriptEncoding::Utf8, ScriptEncoding::Gb18030}) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            result.error = OpenError(file);
            return false;
        }
        ScriptReader reader(file, encoding, ScriptReader::KeysOnly);
        FirstReading reading(storeNo);
        ScriptRow row;
        while (reader.Next(row)) {
            if (Stopped(result))
                return false;
            reading.Take(row);
        }
        switch (reader.Failure()) {
        case ScriptReader::Fault::None:
            break;
        case ScriptReader::Fault::Encoding:
            if (encoding == ScriptEncoding::Utf8)
                continue;
            result.error =
                Tr("文件的文字既不是 UTF-8 也不是 GB18030 编码：%1").arg(reader.FaultText());
            return false;
        case ScriptReader::Fault::Damaged:
            result.error = Tr("文件已损坏或不完整：%1").arg(reader.FaultText());
            return false;
        case ScriptReader::Fault::ReadFailed:
            result.error = ReadError(file, reader);
            return false;
        }
        result.error = reading.Refusal();
        if (!result.error.isEmpty())
            return false;
        checked.encoding = encoding;
        checked.rows = reading.RowsToRestore();
        checked.lastOfRepeated = reading.TakeLastOfRepeated();
        result.skipped = reading.Skipped();
        result.complete = reader.Complete();
        return true;
    }
    return false;
}

bool ScriptRestorer::DeleteStoreRows(QString& error)
{
    for (const TableSchema& table : Schema::Tables()) {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("delete from %1 where store_no=?").arg(table.name));
        query.addBindValue(storeNo);
        if (!query.exec()) {
            error = query.lastError().text().trimmed();
            return false;
        }
    }
    return true;
}

bool ScriptRestorer::Replace(const QString& path, const Checked& checked, BulkInserter& inserter,
                             BulkRows& refused, RestoreResult& result)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = OpenError(file);
        return false;
    }
    QString error;
    if (!DeleteStoreRows(error)) {
        result.error = Tr("无法删除本门店原有的数据：%1").arg(error);
        return false;
    }
    auto refuse = [&] {
        refused = inserter.Queued();
        result.error = WriteError(refused.tags.value(0), inserter.Error());
        return false;
    };
    ScriptReader reader(file, checked.encoding);
    KeyDigester digester;
    ScriptRow row;
    qint64 rows = 0;
    while (reader.Next(row)) {
        if (Stopped(result))
            return false;
        if (row.StoreNo() != storeNo)
            continue;
        if (!checked.lastOfRepeated.isEmpty()) {
            const auto kept = checked.lastOfRepeated.constFind(digester.Of(row));
            if (kept != checked.lastOfRepeated.cend() && *kept != row.line)
                continue;
        }
        if (!inserter.Add(*row.table, row.columns, row.values, row.line))
            return refuse();
        if (++rows % ProgressEvery == 0 && progress)
            progress(rows, checked.rows);
    }
    if (reader.Failure() == ScriptReader::Fault::ReadFailed) {
        result.error = ReadError(file, reader);
        return false;
    }
    if (reader.Failure() != ScriptReader::Fault::None) {
        result.error = Tr("文件在还原过程中被改动：%1").arg(reader.FaultText());
        return false;
    }
    if (!inserter.Flush())
        return refuse();
    result.restored = inserter.Inserted();
    if (progress)
        progress(rows, checked.rows);
    return true;
}

void ScriptRestorer::NameRefusedRow(const BulkRows& refused, RestoreResult& result)
{
    // The refused statement held several rows. They are tried one at a time, on the store emptied
    // as for the restore, in a transaction that is rolled back: the first one refused is named.
    if (refused.Count() < 2 || !db.transaction())
        return;
    BulkInserter single(db, 1);
    QString error;
    if (DeleteStoreRows(error)) {
        for (qsizetype i = 0; i < refused.Count(); ++i) {
            if (!single.Add(*refused.table, refused.columns, refused.Row(i), refused.tags.at(i))) {
                result.error = WriteError(refused.tags.at(i), single.Error());
                break;
            }
        }
    }
    db.rollback();
}

RestoreResult ScriptRestorer::Restore(const QString& path)
{
    RestoreResult result;
    Checked checked;
    if (!Check(path, checked, result))
        return result;
    if (!db.transaction()) {
        result.error = Tr("无法开始事务：%1").arg(db.lastError().text().trimmed());
        return result;
    }
    QHash<QString, qint64> insertedInto;
    {
        // The inserter's prepared statements are released only after the rollback: a server
        // refuses even that inside a failed transaction.
        BulkInserter inserter(db);
        BulkRows refused;
        if (!Replace(path, checked, inserter, refused, result)) {
            db.rollback();
            result.restored = 0;
            NameRefusedRow(refused, result);
            return result;
        }
        insertedInto = inserter.InsertedInto();
    }
    if (beforeCommit && !beforeCommit(path, result)) {
        result.error = Tr("无法写入操作记录：%1").arg(StoreConnection::LastError());
        db.rollback();
        return result;
    }
    if (!db.commit()) {
        result.error = Tr("无法提交：%1").arg(db.lastError().text().trimmed());
        db.rollback();
        return result;
    }
    for (auto it = insertedInto.cbegin(); it != insertedInto.cend(); ++it)
        TableStatistics::NoteInserted(db, it.key(), it.value());
    result.ok = true;
    return result;
}
