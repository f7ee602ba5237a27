#pragma once

#include <QtGlobal>
#include <functional>

// Told now and then how far a long backup or restore has come: rows done of rows in all (for a
// restore, which learns the number of rows only at the file's end: bytes read of the file's).
using ScriptProgress = std::function<void(qint64 done, qint64 total)>;

// Asked now and then whether a long backup or restore is to stop; true ends it as a failure that
// leaves nothing behind (no backup file; the store's rows as they were).
using ScriptStop = std::function<bool()>;
