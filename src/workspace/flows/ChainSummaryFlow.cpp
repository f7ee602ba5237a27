#include "ChainSummaryFlow.h"

#include "FigureTableDialog.h"
#include "PeriodChooser.h"
#include "Prompt.h"
#include "UserRoles.h"

#include <QThread>

namespace
{

const QString Title = QStringLiteral("门店汇总");

QList<FigureColumn> Columns()
{
    using Kind = FigureColumn::Kind;
    return {{QStringLiteral("门店"), Kind::Text},
            {QStringLiteral("销售额(扣退货)"), Kind::Money},
            {QStringLiteral("进货额(扣退货)"), Kind::Money},
            {QStringLiteral("损耗"), Kind::Money},
            {QStringLiteral("收款"), Kind::Money},
            {QStringLiteral("付款"), Kind::Money},
            {QStringLiteral("经营利润"), Kind::Money},
            {QStringLiteral("库存数量"), Kind::Quantity},
            {QStringLiteral("库存金额(进价)"), Kind::Money},
            {QStringLiteral("客户未付款"), Kind::Money},
            {QStringLiteral("未付供应商"), Kind::Money},
            {QStringLiteral("未定位记录"), Kind::Count}};
}

FigureRow RowOf(const QString& name, const ChainSummary::Figures& figures)
{
    return {{name}, QList<double>(figures.begin(), figures.end())};
}

} // namespace

ChainSummaryFlow::ChainSummaryFlow(QWidget& window, StatusLine& status, const ChainConfig& chain)
    : QObject(&window), window(window), status(status), chain(chain)
{
}

ChainSummaryFlow::~ChainSummaryFlow()
{
    if (worker) {
        stop.Raise();
        worker->wait();
    }
}

bool ChainSummaryFlow::Offered(int userType, const ChainConfig& chain)
{
    return UserRoles::SeesChainSummary(userType) &&
           (!chain.shops.isEmpty() || !chain.error.isEmpty());
}

FigureTable ChainSummaryFlow::TableOf(const ChainResult& result, const QString& period)
{
    FigureTable table;
    table.title = Title;
    table.period = period;
    table.columns = Columns();
    for (int i = 0; i < result.shops.size(); ++i)
        table.rows << RowOf(result.shops.at(i).name, result.figures.at(i));
    table.totals = RowOf(QStringLiteral("合计"), result.total);
    return table;
}

FigureTableDialog* ChainSummaryFlow::Open()
{
    if (!chain.error.isEmpty()) {
        Tell(tr("连锁门店配置 [Chain] 无法使用：%1\n请修改 InitParam/dBConfig.ini。")
                 .arg(chain.error));
        return nullptr;
    }
    if (!dialog) {
        dialog = new FigureTableDialog(&window);
        chooser = new PeriodChooser;
        dialog->SetControls(chooser);
        connect(chooser, &PeriodChooser::StartClicked, this, &ChainSummaryFlow::Start);
        connect(chooser, &PeriodChooser::CancelClicked, this, &ChainSummaryFlow::Cancel);
        FigureTable empty;
        empty.title = Title;
        empty.columns = Columns();
        dialog->SetTable(empty);
        dialog->SetNote(tr("选择统计期间后点击“统计”。库存按所选期间的记录计算，与库存表按同一期间"
                           "查询所示相同；要看全部库存请选“全部时间”。"));
    }
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

void ChainSummaryFlow::Start()
{
    if (worker || !dialog)
        return;
    ChainRequest request;
    request.chain = chain;
    request.timeMode = chooser->TimeMode();
    request.startDate = chooser->StartDate();
    request.queryDate = chooser->QueryDate();
    const QString period =
        ChainRun::PeriodText(request.timeMode, request.startDate, request.queryDate);

    // The figures of another period never stand under this one's title.
    FigureTable empty;
    empty.title = Title;
    empty.period = period;
    empty.columns = Columns();
    dialog->SetTable(empty);
    dialog->SetNote(tr("正在统计 %1 家门店...").arg(chain.shops.size()));
    chooser->SetRunning(true);

    stop = StopFlag();
    const StopFlag flag = stop;
    job = status.Begin(tr("门店汇总开始..."), [flag] { flag.Raise(); });
    worker = QThread::create([this, request, flag, period] {
        const ChainResult result = ChainRun::Run(
            request, [flag] { return flag.IsRaised(); },
            [this](int done, int shops, const QString& name) {
                QMetaObject::invokeMethod(
                    this, [this, done, shops, name] { Progress(done, shops, name); },
                    Qt::QueuedConnection);
            });
        QMetaObject::invokeMethod(
            this, [this, result, period] { Show(result, period); }, Qt::QueuedConnection);
    });
    worker->start();
}

void ChainSummaryFlow::Cancel()
{
    if (worker)
        stop.Raise();
}

void ChainSummaryFlow::Progress(int done, int shops, const QString& name)
{
    if (!worker)
        return;
    status.Step(job, done, shops);
    status.ShowStatusInfo(
        tr("门店汇总：已读取 %1 / %2 家门店（%3）").arg(done).arg(shops).arg(name));
}

void ChainSummaryFlow::Show(const ChainResult& result, const QString& period)
{
    worker->wait();
    delete worker;
    worker = nullptr;
    chooser->SetRunning(false);
    switch (result.outcome) {
    case ChainResult::Done: {
        status.End(job, tr("门店汇总完成：%1 家门店").arg(result.shops.size()));
        dialog->SetTable(TableOf(result, period));
        const double unplaced = result.total[ChainSummary::UnplacedRecords];
        dialog->SetNote(
            unplaced > 0
                ? tr("有 %1 条记录在所选期间内找不到对应的进货（例如卖出的是期间以前进的货），"
                     "库存数字只计所选期间的记录，请核对；要看全部库存请选“全部时间”。")
                      .arg(unplaced)
                : tr("库存按所选期间的记录计算，与库存表按同一期间查询所示相同。"));
        break;
    }
    case ChainResult::Stopped:
        status.End(job, tr("门店汇总已取消"));
        dialog->SetNote(tr("统计已取消，未显示不完整的数字。"));
        break;
    case ChainResult::Failed:
        status.End(job, tr("门店汇总失败"));
        dialog->SetNote(tr("统计失败，未显示不完整的数字。"));
        Tell(result.error);
        break;
    }
    emit Finished(result.outcome);
}

void ChainSummaryFlow::Tell(const QString& text)
{
    PromptBox box;
    box.title = Title;
    box.text = text;
    box.icon = QMessageBox::Warning;
    Prompt::Current().Ask(dialog ? static_cast<QWidget*>(dialog) : &window, box);
}
