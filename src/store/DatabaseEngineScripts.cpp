#include "DatabaseEngine.h"

// Backup and restore of the current store, kept apart from the record operations.

BackupResult DatabaseEngine::BackupToScript(const QString& path, const ScriptProgress& progress)
{
    BackupWriter writer(Connection(), storeNo);
    writer.SetProgress(progress);
    return writer.Write(path);
}

RestoreResult DatabaseEngine::RestoreFromScript(const QString& path, const ScriptProgress& progress)
{
    ScriptRestorer restorer(Connection(), storeNo);
    restorer.SetProgress(progress);
    return restorer.Restore(path);
}
