#include "AnalysisFlow.h"

#include "AnalysisTables.h"
#include "AnalysisWindow.h"
#include "DatabaseEngine.h"
#include "DbManager.h"
#include "GrossMargin.h"
#include "Prompt.h"
#include "ReorderDialog.h"
#include "StatusLine.h"
#include "StopFlag.h"
#include "UnpaidAgeing.h"

#include <QPointer>
#include <QThread>
#include <memory>

using UserRoles::Analysis;

AnalysisFlow::AnalysisFlow(QWidget& window, StatusLine& status, int userType)
    : QObject(&window), window(window), status(status), userType(userType)
{
}

AnalysisFlow::~AnalysisFlow()
{
    for (QThread* thread : std::as_const(threads))
        thread->wait();
}

bool AnalysisFlow::Allowed(Analysis analysis) const
{
    return UserRoles::MaySee(userType, analysis);
}

void AnalysisFlow::Start(const QString& text, AnalysisWindow* shown,
                         const std::function<Finish()>& work)
{
    const StopFlag dropped;
    const QPointer<AnalysisWindow> busy = shown;
    if (busy)
        busy->SetBusy(true);
    auto job = std::make_shared<StatusLine::Job>();
    *job = status.Begin(text, [this, dropped, job, busy] {
        dropped.Raise();
        if (busy)
            busy->SetBusy(false);
        status.End(*job, tr("计算已取消"));
    });
    QThread* thread = QThread::create([this, work, dropped, job, busy] {
        const Finish finish = work();
        QMetaObject::invokeMethod(
            this,
            [this, finish, dropped, job, busy] {
                if (dropped.IsRaised())
                    return;
                if (busy)
                    busy->SetBusy(false);
                status.End(*job);
                finish();
                emit Shown();
            },
            Qt::QueuedConnection);
    });
    threads << thread;
    connect(thread, &QThread::finished, this, [this, thread] {
        threads.removeOne(thread);
        thread->deleteLater();
    });
    thread->start();
}

void AnalysisFlow::ShowLowStock()
{
    if (Allowed(Analysis::LowStock))
        RunStock(true);
}

void AnalysisFlow::CheckLowStock()
{
    if (Allowed(Analysis::LowStock))
        RunStock(false);
}

void AnalysisFlow::RunStock(bool onDemand)
{
    Start(tr("正在计算库存预警..."), lowStock, [this, onDemand]() -> Finish {
        const AnalysisRun::StockLevels read =
            AnalysisRun::Stock(*DatabaseEngine::Instance(), *DbManager::Instance(), false);
        return [this, read, onDemand] { StockRead(read, onDemand); };
    });
}

void AnalysisFlow::StockRead(const AnalysisRun::StockLevels& read, bool onDemand)
{
    if (!read.ok) {
        if (onDemand)
            status.ReportFailure(&window, tr("库存预警"),
                                 tr("无法计算库存预警：%1").arg(read.error));
        else
            status.ShowStatusInfo(tr("库存预警未能检查：%1").arg(read.error));
        return;
    }
    if (read.alerts.isEmpty())
        status.ShowStatusInfo(tr("没有库存在预警数量或以下的商品"));
    if (read.alerts.isEmpty() && !onDemand)
        return;
    if (read.alerts.isEmpty() && !lowStock) {
        PromptBox box;
        box.title = tr("库存预警");
        box.text = read.levels.isEmpty()
                       ? tr("尚未设置库存预警数量，请先在“经营分析 - 设置库存预警”中填写。")
                       : tr("没有库存在预警数量或以下的商品。");
        box.icon = QMessageBox::Information;
        Prompt::Current().Ask(&window, box);
        return;
    }
    Window(lowStock, {}, QStringLiteral("LowStockWindow"), &AnalysisFlow::ShowLowStock)
        ->ShowViews({AnalysisTables::LowStockList(read.alerts)});
    if (!read.alerts.isEmpty())
        status.ShowStatusInfo(tr("库存预警：%1 种商品在预警数量或以下").arg(read.alerts.size()));
}

void AnalysisFlow::EditLevels()
{
    if (!Allowed(Analysis::Levels))
        return;
    if (levels && levels->isVisible()) {
        levels->raise();
        levels->activateWindow();
        return;
    }
    Start(tr("正在读取库存..."), nullptr, [this]() -> Finish {
        const AnalysisRun::StockLevels read =
            AnalysisRun::Stock(*DatabaseEngine::Instance(), *DbManager::Instance());
        return [this, read] { OpenLevels(read); };
    });
}

void AnalysisFlow::OpenLevels(const AnalysisRun::StockLevels& read)
{
    if (!read.ok) {
        status.ReportFailure(&window, tr("设置库存预警"),
                             tr("无法读取库存和预警数量：%1").arg(read.error));
        return;
    }
    if (!levels) {
        levels = new ReorderDialog([this](const QList<ReorderLevel>& changed,
                                          QString& why) { return SaveLevels(changed, why); },
                                   &window);
    }
    // Levels typed and not stored are kept: the rows are only refilled over stored ones.
    if (!levels->isVisible() || !levels->HasChanges())
        levels->SetRows(read.stock, read.levels);
    status.ShowStatusInfo(tr("已列出 %1 种商品的库存，请填写预警数量").arg(read.stock.size()));
    levels->show();
    levels->raise();
    levels->activateWindow();
}

bool AnalysisFlow::SaveLevels(const QList<ReorderLevel>& changed, QString& why)
{
    ReorderLevels store(*DbManager::Instance(), DatabaseEngine::Instance()->StoreNo());
    if (!store.Save(changed)) {
        why = store.LastError();
        status.ShowStatusInfo(tr("库存预警数量保存失败：%1").arg(why));
        return false;
    }
    status.ShowStatusInfo(tr("库存预警数量已保存"));
    return true;
}

void AnalysisFlow::ShowAgeing()
{
    if (!Allowed(Analysis::Ageing))
        return;
    AnalysisWindow* shown = Window(ageing, {tr("截至日期：")}, QStringLiteral("AgeingWindow"),
                                   &AnalysisFlow::RunAgeing);
    if (shown->ViewCount() == 0)
        RunAgeing();
}

void AnalysisFlow::RunAgeing()
{
    const QDate day = ageing->Dates().value(0);
    Start(tr("正在计算账龄..."), ageing, [this, day]() -> Finish {
        const AnalysisRun::Goods goods = AnalysisRun::AllGoods(*DatabaseEngine::Instance());
        QList<AnalysisTables::View> views;
        if (goods.ok) {
            using AnalysisTables::Parties;
            views = {AnalysisTables::Ageing(UnpaidAgeing::Customers(goods.records, day),
                                            Parties::Customers, day),
                     AnalysisTables::Ageing(UnpaidAgeing::Suppliers(goods.records, day),
                                            Parties::Suppliers, day)};
        }
        return [this, views, ok = goods.ok, error = goods.error] {
            if (!ok) {
                status.ReportFailure(&window, tr("账龄分析"),
                                     tr("无法读取商品记录：%1").arg(error));
                return;
            }
            ageing->ShowViews(views);
            status.ShowStatusInfo(tr("账龄分析完成"));
        };
    });
}

void AnalysisFlow::ShowMargins()
{
    if (!Allowed(Analysis::Margin))
        return;
    const bool made = margins != nullptr;
    AnalysisWindow* shown = Window(margins, {tr("从："), tr("到：")},
                                   QStringLiteral("MarginWindow"), &AnalysisFlow::RunMargins);
    if (!made) {
        const QDate today = QDate::currentDate();
        shown->SetDates({QDate(today.year(), today.month(), 1), today});
    }
    if (shown->ViewCount() == 0)
        RunMargins();
}

void AnalysisFlow::RunMargins()
{
    const QList<QDate> dates = margins->Dates();
    const QDate first = dates.value(0);
    const QDate last = dates.value(1);
    if (first > last) {
        status.ReportFailure(&window, tr("销售毛利"),
                             tr("开始日期 %1 晚于结束日期 %2，请重新选择。")
                                 .arg(first.toString(Qt::ISODate), last.toString(Qt::ISODate)));
        return;
    }
    Start(tr("正在计算销售毛利..."), margins, [this, first, last]() -> Finish {
        const AnalysisRun::Goods goods = AnalysisRun::AllGoods(*DatabaseEngine::Instance());
        QList<AnalysisTables::View> views;
        if (goods.ok) {
            using AnalysisTables::MarginKey;
            const GrossMargin::Margins m = GrossMargin::Compute(goods.records, first, last);
            views = {AnalysisTables::Margins(m, MarginKey::Salesperson, first, last),
                     AnalysisTables::Margins(m, MarginKey::Model, first, last),
                     AnalysisTables::Unpriced(m, first, last)};
        }
        return [this, views, ok = goods.ok, error = goods.error] {
            if (!ok) {
                status.ReportFailure(&window, tr("销售毛利"),
                                     tr("无法读取商品记录：%1").arg(error));
                return;
            }
            margins->ShowViews(views);
            status.ShowStatusInfo(tr("销售毛利计算完成"));
        };
    });
}

AnalysisWindow* AnalysisFlow::Window(AnalysisWindow*& made, const QStringList& dates,
                                     const QString& name, void (AnalysisFlow::*run)())
{
    if (!made) {
        made = new AnalysisWindow(dates, name, &window);
        connect(made, &AnalysisWindow::Requested, this, run);
    }
    made->show();
    made->raise();
    made->activateWindow();
    return made;
}
