// The report side of the main window: printing the pages and the chart dialog with the figures
// of the page last totalled or of the sales statistics.

#include "MainWindow.h"

#include "ChartData.h"
#include "DialogShowGraph.h"
#include "PagePrint.h"
#include "Prompt.h"
#include "ui_MainWindow.h"

#include <QPushButton>
#include <QTableView>

namespace
{

const QString SalesTable = QStringLiteral("tab_saletotal_1");

// The sales menu's chart entries: object name, text.
const QList<QPair<QString, QString>> SalesChartActions = {
    {QStringLiteral("action_saleday"), QStringLiteral("日销售统计")},
    {QStringLiteral("action_saleemploy"), QStringLiteral("员工销售统计")},
    {QStringLiteral("action_saledistri"), QStringLiteral("分销商销售统计")}};

bool IsPrintButton(const QString& name)
{
    return name.contains(QLatin1String("print"));
}

QString ReportTitle(const PageDefinition& page)
{
    const QString title = page.titleText.trimmed();
    return title.isEmpty() ? QCoreApplication::translate("MainWindow", "销售统计表") : title;
}

} // namespace

void MainWindow::ConnectReports()
{
    for (const PageDefinition& d : PageDefinitions::All()) {
        for (const PageButton& b : d.buttons) {
            if (!IsPrintButton(b.name))
                continue;
            if (auto* button = findChild<QPushButton*>(b.name))
                connect(button, &QPushButton::clicked, this, &MainWindow::PrintActionProcess);
        }
    }
    // The profit page's button sums nothing (its rows already are sums), but pressing it makes
    // the profit rows the figures the chart shows, as the other pages' total buttons do.
    if (auto* profitButton = findChild<QPushButton*>(QStringLiteral("btn_ft_8")))
        connect(profitButton, &QPushButton::clicked, this,
                [this] { lastTotalled = QStringLiteral("tab_profit"); });
    // Charts of the shop's own figures are for the roles that see its amounts.
    ui->action_graph->setVisible(user.user_type == 1 || user.user_type == 2);
    connect(ui->action_graph, &QAction::triggered, this, &MainWindow::ShowTotalResult);
    for (const auto& [name, text] : SalesChartActions) {
        auto* action = new QAction(text, this);
        action->setObjectName(name);
        action->setIcon(ui->action_saletotal->icon());
        ui->menu_salestotal->addAction(action);
        connect(action, &QAction::triggered, this, &MainWindow::ShowSalesChart);
    }
}

void MainWindow::PrintActionProcess()
{
    const QString name = sender() ? sender()->objectName() : QString();
    const PageDefinition* page = PageDefinitions::ByButton(name);
    if (!page || !IsPrintButton(name))
        return;
    QTableView* table = PageTable(*page);
    const QString done = PagePrint(this).Run(*table, [this, page, table] {
        const int dateColumn = page->family == PageFamily::Goods ? PageDefinitions::DateColumnGoods
                                                                 : PageDefinitions::DateColumnMoney;
        return ReportTables::FromModel(*table->model(), ReportTitle(*page), dateColumn,
                                       TotalsLines(*page));
    });
    if (!done.isEmpty())
        ShowStatusInfo(done);
}

QStringList MainWindow::TotalsLines(const PageDefinition& page) const
{
    const QAbstractItemModel* model = PageTable(page)->model();
    const PageTotals::GoodsTotals totals = TotalsOf(page);
    const double values[] = {totals.amount, totals.paid, totals.unpaid};
    QStringList parts;
    for (int i = 0; i < page.totalLabels.size() && i < 3; ++i)
        parts << page.totalLabels.at(i) + QLatin1Char(' ') + NumberText::Write(values[i]);
    return {tr("共 %1 行").arg(model->rowCount()), parts.join(QStringLiteral("    "))};
}

DialogShowGraph* MainWindow::ShowGraphDialog(bool show)
{
    if (!graphDialog)
        graphDialog = new DialogShowGraph(this);
    graphDialog->setVisible(show);
    return graphDialog;
}

void MainWindow::ShowTotalResult()
{
    const PageDefinition* page = PageDefinitions::ByTable(lastTotalled);
    if (!page) {
        PromptBox box;
        box.title = tr("图形显示");
        box.text = tr("请先在要显示的页面上点击“统计”或“数额统计”按钮，再打开图形显示页。");
        box.icon = QMessageBox::Information;
        Prompt::Current().Ask(this, box);
        return;
    }
    const QAbstractItemModel* model = PageTable(*page)->model();
    ChartSeries series;
    if (page->family == PageFamily::Goods)
        series = ChartData::GoodsByModel(dynamic_cast<const ProductModel&>(*model).Records(),
                                         page->table);
    else
        series = ChartData::MoneyByItem(dynamic_cast<const FinanceModel&>(*model).Records(),
                                        page->table);
    ShowGraphDialog(true)->ShowFigures(series, DialogShowGraph::Bar);
}

void MainWindow::ShowSalesChart()
{
    const QString name = sender() ? sender()->objectName() : QString();
    const auto& rows = dynamic_cast<const ProductModel&>(*Table(SalesTable)->model()).Records();
    if (rows.isEmpty()) {
        PromptBox box;
        box.title = tr("图形显示");
        box.text = tr("销售统计页还没有数据，请先在销售统计页查询要统计的时段。");
        box.icon = QMessageBox::Information;
        Prompt::Current().Ask(this, box);
        return;
    }
    const QStringList employees = lists.Entries(ListSource::Employees);
    // The salesperson cell offers the employees followed by the distributors.
    const QStringList distributors =
        lists.Entries(ListSource::EmployeesThenDistributors).mid(employees.size());
    if (name == QLatin1String("action_saleday"))
        ShowGraphDialog(true)->ShowFigures(ChartData::SalesPerDay(rows), DialogShowGraph::Line);
    else if (name == QLatin1String("action_saleemploy"))
        ShowGraphDialog(true)->ShowFigures(ChartData::SalesPerPerson(rows, distributors, false),
                                           DialogShowGraph::Bar);
    else if (name == QLatin1String("action_saledistri"))
        ShowGraphDialog(true)->ShowFigures(ChartData::SalesPerPerson(rows, distributors, true),
                                           DialogShowGraph::Bar);
}
