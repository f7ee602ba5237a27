#include "ChartFlow.h"

#include "ChartData.h"
#include "DialogShowGraph.h"
#include "LedgerPages.h"
#include "Prompt.h"

#include <QCoreApplication>
#include <QTableView>

namespace
{

const QString SalesTable = QStringLiteral("tab_saletotal_1");

QString Text(const char* source)
{
    return QCoreApplication::translate("MainWindow", source);
}

} // namespace

ChartFlow::ChartFlow(QWidget& window, const LedgerPages& pages)
    : QObject(&window), window(window), pages(pages)
{
}

const QList<QPair<QString, QString>>& ChartFlow::SalesActions()
{
    static const QList<QPair<QString, QString>> actions = {
        {QStringLiteral("action_saleday"), QStringLiteral("日销售统计")},
        {QStringLiteral("action_saleemploy"), QStringLiteral("员工销售统计")},
        {QStringLiteral("action_saledistri"), QStringLiteral("分销商销售统计")}};
    return actions;
}

DialogShowGraph* ChartFlow::ShowDialog(bool show)
{
    if (!dialog)
        dialog = new DialogShowGraph(&window);
    dialog->setVisible(show);
    return dialog;
}

void ChartFlow::NoteTotalled(const PageDefinition& page)
{
    lastTotalled = page.table;
}

void ChartFlow::Tell(const QString& text)
{
    PromptBox box;
    box.title = Text("图形显示");
    box.text = text;
    box.icon = QMessageBox::Information;
    Prompt::Current().Ask(&window, box);
}

void ChartFlow::ShowTotals()
{
    const PageDefinition* page = PageDefinitions::ByTable(lastTotalled);
    if (!page) {
        Tell(Text("请先在要显示的页面上点击“统计”或“数额统计”按钮，再打开图形显示页。"));
        return;
    }
    const LedgerModel* model = pages.Model(*page);
    const ChartSeries series =
        page->family == PageFamily::Goods
            ? ChartData::GoodsByModel(static_cast<const ProductModel*>(model)->Records(),
                                      page->table)
            : ChartData::MoneyByItem(static_cast<const FinanceModel*>(model)->Records(),
                                     page->table);
    ShowDialog(true)->ShowFigures(series, DialogShowGraph::Bar);
}

void ChartFlow::ShowSales(const QString& action)
{
    const auto& rows =
        static_cast<const ProductModel&>(*pages.Table(SalesTable)->model()).Records();
    if (rows.isEmpty()) {
        Tell(Text("销售统计页还没有数据，请先在销售统计页查询要统计的时段。"));
        return;
    }
    const QStringList employees = pages.Lists().Entries(ListSource::Employees);
    // The salesperson cell offers the employees followed by the distributors.
    const QStringList distributors =
        pages.Lists().Entries(ListSource::EmployeesThenDistributors).mid(employees.size());
    if (action == QLatin1String("action_saleday"))
        ShowDialog(true)->ShowFigures(ChartData::SalesPerDay(rows), DialogShowGraph::Line);
    else if (action == QLatin1String("action_saleemploy"))
        ShowDialog(true)->ShowFigures(ChartData::SalesPerPerson(rows, distributors, false),
                                      DialogShowGraph::Bar);
    else if (action == QLatin1String("action_saledistri"))
        ShowDialog(true)->ShowFigures(ChartData::SalesPerPerson(rows, distributors, true),
                                      DialogShowGraph::Bar);
}
