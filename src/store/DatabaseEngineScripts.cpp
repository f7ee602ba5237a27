#include "DatabaseEngine.h"

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
    ScriptRestorer restorer(connection.Database(), storeNo);
    restorer.SetProgress(progress);
    restorer.SetStop(stop);
    return restorer.Restore(path);
}
