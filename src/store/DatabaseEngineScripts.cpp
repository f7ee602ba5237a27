#include "DatabaseEngine.h"

#include <QFileInfo>

// Backup and restore of the current store, kept apart from the record operations.

BackupResult DatabaseEngine::BackupToScript(const QString& path, const ScriptProgress& progress,
                                            const ScriptStop& stop)
{
    BackupWriter writer(connection.Database(), storeNo);
    writer.SetProgress(progress);
    writer.SetStop(stop);
    return writer.Write(path);
}

RestoreResult DatabaseEngine::RestoreFromScript(const QString& path, const ScriptProgress& progress,
                                                const ScriptStop& stop)
{
    // The history is not in backups and stays as it is; the restore adds its own entry.
    const ChangeHistory history = History();
    if (!history.EnsureTable()) {
        RestoreResult refused;
        refused.error = QStringLiteral("无法写入操作记录：%1").arg(LastError());
        return refused;
    }
    ScriptRestorer restorer(connection.Database(), storeNo);
    restorer.SetProgress(progress);
    restorer.SetStop(stop);
    restorer.SetBeforeCommit([&history](const QString& file, const RestoreResult& result) {
        ChangeEntry entry;
        entry.action = ChangeEntry::Restore;
        entry.note = QStringLiteral("%1：还原 %2 条记录，跳过 %3 行")
                         .arg(QFileInfo(file).fileName())
                         .arg(result.restored)
                         .arg(result.skipped.Count());
        return history.AppendInOpenTransaction(entry);
    });
    return restorer.Restore(path);
}
