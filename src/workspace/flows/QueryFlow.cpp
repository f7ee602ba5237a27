// The query side of the main window: the query dialog, starting a query job and showing its
// result on the page it was started for.

#include "MainWindow.h"

#include "DialogQuery.h"
#include "JobLauncher.h"
#include "Prompt.h"

#include <QProgressBar>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTableView>

namespace
{

constexpr int SuperUser = 1;
constexpr int ProgressWidth = 150;

const PageDefinition* RoleOf(PageRole role)
{
    for (const PageDefinition& d : PageDefinitions::All()) {
        if (d.role == role)
            return &d;
    }
    return nullptr;
}

// The page a query of this group and page fills; nullptr for none.
const PageDefinition* QueryPage(int group, int page)
{
    switch (group) {
    case QueryRun::GoodsGroup:
        return page == QueryRun::InventoryPage ? RoleOf(PageRole::Inventory)
                                               : PageDefinitions::Ledger(PageFamily::Goods, page);
    case QueryRun::SalesGroup:
        return page == 0 ? RoleOf(PageRole::SalesStatistics) : nullptr;
    case QueryRun::MoneyGroup:
        return page == QueryRun::ProfitPage ? RoleOf(PageRole::Profit)
                                            : PageDefinitions::Ledger(PageFamily::Money, page);
    default:
        return nullptr;
    }
}

int PageKey(int group, int page)
{
    return group * 100 + page;
}

} // namespace

void MainWindow::InitQuery()
{
    queryDialog = new DialogQuery(this);
    queryDialog->hide();
    queryDialog->SetStoreChooser([this](const QString& current) { return ChooseStore(current); });
    RefillQueryLists();
    connect(queryDialog, &DialogQuery::sendQueryCmd, this, &MainWindow::QueryProcess);
    for (const PageDefinition& d : PageDefinitions::All()) {
        for (const PageButton& b : d.buttons) {
            if (QueryRun::ForButton(b.name)) {
                connect(findChild<QPushButton*>(b.name), &QPushButton::clicked, this,
                        &MainWindow::ActionQuery);
            }
        }
    }
    // The profit page sums its column like every other money page.
    const PageDefinition* profit = RoleOf(PageRole::Profit);
    connect(findChild<QPushButton*>(profit->totalButton), &QPushButton::clicked, this,
            &MainWindow::TotalProcess);

    queryProgress = new QProgressBar(this);
    queryProgress->setRange(0, 0); // busy: a query's length is not known beforehand
    queryProgress->setMaximumWidth(ProgressWidth);
    queryProgress->setTextVisible(false);
    queryProgress->hide();
    statusBar()->addPermanentWidget(queryProgress);
}

void MainWindow::RefillQueryLists()
{
    if (!queryDialog)
        return;
    QueryLists l;
    l.categories = lists.MasterEntries(ListSources::Categories);
    l.names = lists.MasterEntries(ListSources::GoodsNames);
    l.models = lists.MasterEntries(ListSources::Models);
    l.colours = lists.MasterEntries(ListSources::Colours);
    l.sizes = lists.MasterEntries(ListSources::Sizes);
    l.suppliers = lists.PersonEntries(ListSources::Suppliers);
    l.clients = lists.PersonEntries(ListSources::Clients);
    l.distributors = lists.PersonEntries(ListSources::Distributors);
    l.staff = lists.PersonEntries(ListSources::Employees);
    queryDialog->SetLists(l);
}

std::optional<QString> MainWindow::ChooseStore(const QString& current)
{
    if (!storeDialog) {
        storeDialog = std::make_unique<DialogStoreSet>();
        storeDialog->Reload();
    }
    // The chooser writes into a cell; this one holds the store field's text.
    QStandardItemModel field(1, 1);
    field.setItem(0, 0, new QStandardItem(current));
    storeDialog->SetTarget(&field, 0, 0);
    const bool chosen = storeDialog->exec() == QDialog::Accepted;
    storeDialog->SetTarget(nullptr, 0, 0);
    return chosen ? std::optional<QString>(field.item(0, 0)->text()) : std::nullopt;
}

void MainWindow::HideQueryDialog()
{
    if (queryDialog)
        queryDialog->hide();
}

void MainWindow::DropRunningQueries()
{
    latestRunOfPage.clear();
}

void MainWindow::ActionQuery()
{
    queryDialog->show();
    queryDialog->raise();
    const std::optional<QueryRun::Target> target =
        QueryRun::ForButton(sender() ? sender()->objectName() : QString());
    if (target)
        queryDialog->SetTarget(target->group, target->page, target->criteriaPage);
}

void MainWindow::QueryProcess()
{
    ShowStatusInfo(tr("数据查询开始,请勿操作，耐心等待..."));
    QueryRequest request;
    request.criteria = queryDialog->ReadCriteria();
    request.seesPrices = user.user_type == SuperUser;
    request.run = ++lastQueryRun;
    const QueryCriteria& c = request.criteria;
    if (const PageDefinition* page = QueryPage(c.group, c.page)) {
        filling = true;
        if (page->family == PageFamily::Goods)
            dynamic_cast<ProductModel*>(PageTable(*page)->model())->RemoveAll();
        else
            dynamic_cast<FinanceModel*>(PageTable(*page)->model())->RemoveAll();
        filling = false;
    }
    latestRunOfPage.insert(PageKey(c.group, c.page), request.run);
    pendingQuery = request;
    if (!jobs)
        return;
    runningQueries.insert(request.run);
    queryProgress->show();
    jobs->Start(this, JobLauncher::RunQuery);
}

void MainWindow::ShowQueryResultData(const QueryResult& result)
{
    runningQueries.remove(result.run);
    queryProgress->setVisible(!runningQueries.isEmpty());
    // A later run for the same page replaces this one, whichever finishes first.
    const int key = PageKey(result.group, result.page);
    if (latestRunOfPage.value(key) != result.run) {
        if (!latestRunOfPage.contains(key))
            ShowStatusInfo(tr("数据已清空或重新载入，此前开始的查询结果作废，请重新查询。"));
        return;
    }
    if (!result.ok) {
        ShowStatusInfo(tr("查询失败") + QStringLiteral(": ") + result.error);
        PromptBox box;
        box.title = tr("查询失败");
        box.text = tr("查询失败，数据库未能读出记录。") + QLatin1Char('\n') + result.error;
        box.icon = QMessageBox::Warning;
        Prompt::Current().Ask(this, box);
        return;
    }
    const PageDefinition* page = QueryPage(result.group, result.page);
    if (page && result.code > 0) {
        filling = true;
        if (page->family == PageFamily::Goods)
            dynamic_cast<ProductModel*>(PageTable(*page)->model())->ShowRecords(result.goods);
        else
            dynamic_cast<FinanceModel*>(PageTable(*page)->model())->ShowRecords(result.money);
        filling = false;
    }
    ShowStatusInfo(tr("当前查询完成！"));
}
