#pragma once

#include <QtGlobal>
#include <functional>

// Told now and then how far a long backup or restore has come: rows done of rows in all.
using ScriptProgress = std::function<void(qint64 done, qint64 total)>;
