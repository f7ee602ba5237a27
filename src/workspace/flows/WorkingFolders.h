#pragma once

#include <QString>

// The folders the program writes into, below the current working folder.
namespace WorkingFolders
{

inline const QString Tables = QStringLiteral("/TabDateSave");
inline const QString Backups = QStringLiteral("/DbDateSave");
inline const QString Lists = QStringLiteral("/InfoDateSave");

// Prefixes `path` with the current working folder (in place) and creates that folder when it is
// missing; whether it exists afterwards.
bool EnsureDir(QString& path);

} // namespace WorkingFolders
