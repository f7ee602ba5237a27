#include "ScriptRestorer.h"

#include "BulkInserter.h"
#include "RestoreSink.h"
#include "ScriptFile.h"
#include "ScriptScanner.h"
#include "StoreConnection.h"
#include "TableStatistics.h"

#include <QCoreApplication>
#include <QSqlError>

namespace
{

constexpr qint64 ProgressEvery = 5000;

QString Tr(const char* text)
{
    return QCoreApplication::translate("ScriptRestorer", text);
}

QString WriteError(int line, const QString& error)
{
    if (line <= 0)
        return Tr("数据无法写入：%1").arg(error);
    return Tr("第 %1 行附近的数据无法写入：%2").arg(line).arg(error);
}

} // namespace

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

// What the end of a reading means: a file that is not UTF-8 is read again as GB18030.
ScriptRestorer::Outcome ScriptRestorer::ReadEnd(const ScriptScanner& scanner, Plan& plan,
                                                RestoreResult& result)
{
    switch (scanner.Failure()) {
    case ScriptScanner::Fault::None:
        return Outcome::Done;
    case ScriptScanner::Fault::Encoding:
        if (plan.encoding == ScriptEncoding::Utf8) {
            plan.encoding = ScriptEncoding::Gb18030;
            plan.gathered = false;
            return Outcome::Again;
        }
        result.error =
            Tr("文件的文字既不是 UTF-8 也不是 GB18030 编码：%1").arg(scanner.FaultText());
        return Outcome::Failed;
    case ScriptScanner::Fault::Damaged:
        break;
    }
    result.error = Tr("文件已损坏或不完整：%1").arg(scanner.FaultText());
    return Outcome::Failed;
}

ScriptRestorer::Outcome ScriptRestorer::GatherRepeats(QByteArrayView file, Plan& plan,
                                                      RestoreResult& result) const
{
    ScriptScanner scanner(file, plan.encoding);
    RowTally tally(storeNo, plan.encoding, nullptr, true);
    ScannedRow row;
    while (scanner.Next(row)) {
        if (Stopped(result))
            return Outcome::Failed;
        tally.Take(row);
    }
    const Outcome end = ReadEnd(scanner, plan, result);
    if (end != Outcome::Done)
        return end;
    plan.lastOfRepeated = tally.TakeLastOfRepeated();
    plan.gathered = true;
    return Outcome::Done;
}

ScriptRestorer::Outcome ScriptRestorer::Replace(ScriptFile& file, Plan& plan, RestoreSink& sink,
                                                RestoreResult& result)
{
    QString error;
    if (!sink.Empty(storeNo, error)) {
        result.error = Tr("无法删除本门店原有的数据：%1").arg(error);
        return Outcome::Failed;
    }
    ScriptScanner scanner(file.Bytes(), plan.encoding);
    RowTally tally(storeNo, plan.encoding, plan.repeats ? &plan.lastOfRepeated : nullptr);
    ScannedRow row;
    qint64 rows = 0;
    while (scanner.Next(row)) {
        if (Stopped(result))
            return Outcome::Failed;
        switch (tally.Take(row)) {
        case RowTally::Skip:
            continue;
        case RowTally::Repeat:
            plan.repeats = true;
            return Outcome::Again;
        case RowTally::Restore:
            break;
        }
        if (!sink.Add(row)) {
            result.error = WriteError(sink.RefusedLine(), sink.Error());
            return Outcome::Refused;
        }
        // Progress goes by the bytes read: how many rows the file holds is known only at its end.
        if (++rows % ProgressEvery == 0) {
            file.Release(row.offset);
            if (progress)
                progress(scanner.Offset(), file.Bytes().size());
        }
    }
    const Outcome end = ReadEnd(scanner, plan, result);
    if (end != Outcome::Done)
        return end;
    result.error = tally.Refusal();
    if (!result.error.isEmpty())
        return Outcome::Failed;
    if (!sink.Finish()) {
        result.error = WriteError(sink.RefusedLine(), sink.Error());
        return Outcome::Refused;
    }
    result.skipped = tally.Skipped();
    result.complete = scanner.Complete();
    result.restored = sink.Inserted();
    if (progress)
        progress(file.Bytes().size(), file.Bytes().size());
    return Outcome::Done;
}

void ScriptRestorer::NameRefusedRow(const BulkRows& refused, RestoreResult& result)
{
    // The refused statement held several rows. They are tried one at a time, on the store emptied
    // as for the restore, in a transaction that is rolled back: the first one refused is named.
    if (refused.Count() < 2 || !db.transaction())
        return;
    BulkInserter single(db, 1);
    QString error;
    if (RestoreSink::DeleteStoreRows(db, storeNo, error)) {
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
    ScriptFile file;
    if (!file.Open(path, result.error))
        return result;
    Plan plan;
    QHash<QString, qint64> insertedInto;
    for (;;) {
        if (plan.repeats && !plan.gathered) {
            if (GatherRepeats(file.Bytes(), plan, result) == Outcome::Failed)
                return result;
            continue;
        }
        if (!db.transaction()) {
            result.error = Tr("无法开始事务：%1").arg(db.lastError().text().trimmed());
            return result;
        }
        BulkRows refused;
        Outcome outcome;
        {
            // The sink's statements are released only after the rollback: a server refuses even
            // that inside a failed transaction.
            std::unique_ptr<RestoreSink> sink = RestoreSink::For(db, file.Bytes(), plan.encoding);
            outcome = Replace(file, plan, *sink, result);
            if (outcome == Outcome::Done) {
                insertedInto = sink->InsertedInto();
                break;
            }
            db.rollback();
            result.restored = 0;
            if (outcome == Outcome::Refused)
                refused = sink->Refused();
        }
        if (outcome != Outcome::Again) {
            NameRefusedRow(refused, result);
            return result;
        }
        result = RestoreResult();
    }
    // The one place the restore is made final, with its history entry in the same transaction.
    if (beforeCommit && !beforeCommit(path, result)) {
        result.error = Tr("无法写入操作记录：%1").arg(StoreConnection::LastError());
        db.rollback();
        return result;
    }
    if (!db.commit()) {
        result.error = Tr("无法提交：%1").arg(db.lastError().text().trimmed());
        db.rollback();
        result.restored = 0;
        return result;
    }
    for (auto it = insertedInto.cbegin(); it != insertedInto.cend(); ++it)
        TableStatistics::NoteInserted(db, it.key(), it.value());
    result.ok = true;
    return result;
}
