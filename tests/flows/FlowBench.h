#pragma once

#include "LedgerPages.h"
#include "ScriptedPrompt.h"
#include "TestFolder.h"

#include <QWidget>

class QProgressBar;
class QPushButton;
class QStatusBar;
class StatusLine;

// What a flow works on, without the main window: the fifteen pages laid out in a plain widget,
// a status line in a status bar of its own, a SQLite file in a temporary working folder, and
// boxes and file questions answered by a script.
struct FlowBench {
    static const QString Store;

    explicit FlowBench(const QString& userName = QStringLiteral("admin"));

    // Whether the database could be reached; every test checks it first.
    bool ready = false;
    TestFolder folder{TestFolder::Sqlite, Store};
    ScriptedPrompt prompt;
    LedgerPages pages;
    QWidget window;
    QStatusBar* statusBar;
    StatusLine* status;

    // The status line's texts, the time stamp included.
    QString StatusText() const;
    QProgressBar* Bar() const;
    QPushButton* CancelButton() const;
    // The page of that table, and its model typed by family.
    static const PageDefinition& Page(const QString& table);
    ProductModel& Goods(int kind) const { return *pages.Goods(kind); }
};
