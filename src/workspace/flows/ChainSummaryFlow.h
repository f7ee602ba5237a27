#pragma once

#include "ChainConfig.h"
#include "ChainRun.h"
#include "FigureTable.h"
#include "StatusLine.h"
#include "StopFlag.h"

#include <QObject>
#include <QString>

class FigureTableDialog;
class PeriodChooser;
class QThread;
class QWidget;

// "门店汇总": the figures of every shop of the installation's chain for a chosen period, one
// row per shop and a total row. Each run reads the shops on a thread of its own (and so on a
// connection of its own), shop by shop, with its progress in the status line; a cancel stops it
// before its next select and leaves no figures of the shops read so far.
class ChainSummaryFlow : public QObject
{
    Q_OBJECT
public:
    ChainSummaryFlow(QWidget& window, StatusLine& status, const ChainConfig& chain);
    // Stops a running summary and waits for its thread.
    ~ChainSummaryFlow() override;

    // Whether a user of this role is offered the summary: only a super user, and only when the
    // configuration names a chain (or names one that cannot be used, so he is told why).
    static bool Offered(int userType, const ChainConfig& chain);

    // Shows the dialog, made on first use; a chain that cannot be used is told instead.
    FigureTableDialog* Open();
    FigureTableDialog* Dialog() const { return dialog; }
    PeriodChooser* Chooser() const { return chooser; }

    // Summarises the period the chooser holds; nothing while a run goes on.
    void Start();
    void Cancel();
    bool IsRunning() const { return worker != nullptr; }

    // The table of a finished run.
    static FigureTable TableOf(const ChainResult& result, const QString& period);

signals:
    // A run has ended and the dialog shows its outcome (ChainResult::Outcome).
    void Finished(int outcome);

private:
    void Progress(int done, int shops, const QString& name);
    void Show(const ChainResult& result, const QString& period);
    void Tell(const QString& text);

    QWidget& window;
    StatusLine& status;
    ChainConfig chain;
    FigureTableDialog* dialog = nullptr;
    PeriodChooser* chooser = nullptr;
    QThread* worker = nullptr;
    StopFlag stop;
    StatusLine::Job job = 0;
};
