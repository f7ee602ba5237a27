#pragma once

#include "AnalysisRun.h"
#include "UserRoles.h"

#include <QList>
#include <QObject>
#include <functional>

class AnalysisWindow;
class QThread;
class QWidget;
class ReorderDialog;
class StatusLine;

// The menu "经营分析": the low-stock list (also after sign-in, when some article is low), the
// reorder levels, the ageing of unpaid amounts and the gross margin. Whatever reads the whole
// ledger runs in a thread of its own on that thread's connection, with the status line's bar and
// a cancel that drops the result; the windows are made on first use and then reused. Each entry
// does nothing for a role that may not see it (UserRoles::MaySee).
class AnalysisFlow : public QObject
{
    Q_OBJECT
public:
    AnalysisFlow(QWidget& window, StatusLine& status, int userType);
    // Waits for the computations still running.
    ~AnalysisFlow() override;

    // The articles at or below their level; says so when there are none.
    void ShowLowStock();
    // After sign-in: the list only when it is not empty; a failure goes to the status line.
    void CheckLowStock();
    // The dialog of levels over the stock of all time.
    void EditLevels();
    void ShowAgeing();
    void ShowMargins();

    ReorderDialog* LevelsDialog() const { return levels; }
    AnalysisWindow* LowStockWindow() const { return lowStock; }
    AnalysisWindow* AgeingWindow() const { return ageing; }
    AnalysisWindow* MarginWindow() const { return margins; }

signals:
    // A computation's result was shown (or its failure told).
    void Shown();

private:
    using Finish = std::function<void()>;
    // Runs `work` in a thread of its own; what it returns runs on the window's thread unless the
    // job was cancelled meanwhile. `shown`, when given, waits until then.
    void Start(const QString& text, AnalysisWindow* shown, const std::function<Finish()>& work);
    void RunStock(bool onDemand);
    void StockRead(const AnalysisRun::StockLevels& read, bool onDemand);
    void OpenLevels(const AnalysisRun::StockLevels& read);
    bool SaveLevels(const QList<ReorderLevel>& changed, QString& why);
    void RunAgeing();
    void RunMargins();
    AnalysisWindow* Window(AnalysisWindow*& made, const QStringList& dates, const QString& name,
                           void (AnalysisFlow::*run)());
    bool Allowed(UserRoles::Analysis analysis) const;

    QWidget& window;
    StatusLine& status;
    int userType;
    QList<QThread*> threads;
    ReorderDialog* levels = nullptr;
    AnalysisWindow* lowStock = nullptr;
    AnalysisWindow* ageing = nullptr;
    AnalysisWindow* margins = nullptr;
};
