#include "ScriptRestorer.h"

#include "BulkInserter.h"
#include "ScriptReader.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>

namespace
{

constexpr qint64 ProgressEvery = 5000;

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

} // namespace

ScriptRestorer::ScriptRestorer(QSqlDatabase db, const QString& storeNo) : db(db), storeNo(storeNo)
{
}

bool ScriptRestorer::IsOwnRow(const ScriptRow& row) const
{
    return row.Value(QStringLiteral("store_no")).toString() == storeNo;
}

bool ScriptRestorer::Stopped(RestoreResult& result) const
{
    if (!stop || !stop())
        return false;
    result.error = Tr("还原已取消");
    return true;
}

bool ScriptRestorer::Check(const QString& path, qint64& accepted, RestoreResult& result) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = OpenError(file);
        return false;
    }
    ScriptReader reader(file, ScriptReader::StoreOnly);
    ScriptRow row;
    SkipReport skipped;
    accepted = 0;
    while (reader.Next(row, skipped)) {
        if (Stopped(result))
            return false;
        if (IsOwnRow(row))
            ++accepted;
        else
            skipped.Add(row.line, SkipReason::OtherStore);
    }
    if (reader.ReadFailed()) {
        result.error = ReadError(file, reader);
        return false;
    }
    if (accepted == 0 && skipped.Count() > 0) {
        result.skipped = skipped;
        result.error = Tr("文件中没有本门店可还原的数据");
        return false;
    }
    return true;
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

bool ScriptRestorer::Replace(const QString& path, qint64 total, BulkInserter& inserter,
                             RestoreResult& result)
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
    ScriptReader reader(file);
    ScriptRow row;
    qint64 rows = 0;
    while (reader.Next(row, result.skipped)) {
        if (Stopped(result))
            return false;
        if (!IsOwnRow(row)) {
            result.skipped.Add(row.line, SkipReason::OtherStore);
            continue;
        }
        if (!inserter.Add(*row.table, row.columns, row.values)) {
            result.error = Tr("第 %1 行附近的数据无法写入：%2").arg(row.line).arg(inserter.Error());
            return false;
        }
        if (++rows % ProgressEvery == 0 && progress)
            progress(rows, total);
    }
    if (!inserter.Flush()) {
        result.error =
            Tr("第 %1 行附近的数据无法写入：%2").arg(reader.LineNumber()).arg(inserter.Error());
        return false;
    }
    if (reader.ReadFailed()) {
        result.error = ReadError(file, reader);
        return false;
    }
    result.restored = inserter.Inserted();
    if (progress)
        progress(rows, total);
    return true;
}

RestoreResult ScriptRestorer::Restore(const QString& path)
{
    RestoreResult result;
    qint64 total = 0;
    if (!Check(path, total, result))
        return result;
    if (!db.transaction()) {
        result.error = Tr("无法开始事务：%1").arg(db.lastError().text().trimmed());
        return result;
    }
    {
        // The inserter's prepared statements are released only after the rollback: a server
        // refuses even that inside a failed transaction.
        BulkInserter inserter(db);
        if (!Replace(path, total, inserter, result)) {
            db.rollback();
            result.restored = 0;
            return result;
        }
    }
    if (!db.commit()) {
        result.error = Tr("无法提交：%1").arg(db.lastError().text().trimmed());
        db.rollback();
        return result;
    }
    result.ok = true;
    return result;
}
