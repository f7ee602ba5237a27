#include "QueryFlow.h"

#include "DialogQuery.h"
#include "LedgerPages.h"
#include "Prompt.h"

#include <QCoreApplication>

namespace
{

constexpr int SuperUser = 1;

QString Text(const char* source)
{
    return QCoreApplication::translate("MainWindow", source);
}

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

const QList<ProductRecord>& RecordsFor(const ProductModel&, const QueryResult& result)
{
    return result.goods;
}

const QList<FinanceRecord>& RecordsFor(const FinanceModel&, const QueryResult& result)
{
    return result.money;
}

} // namespace

QueryFlow::QueryFlow(QWidget& parent, Window window, LedgerPages& pages, StatusLine& status,
                     int userType)
    : QObject(&parent), parent(parent), window(std::move(window)), pages(pages), status(status),
      seesPrices(userType == SuperUser), dialog(new DialogQuery(&parent))
{
    dialog->hide();
    dialog->SetStoreChooser(this->window.chooseStore);
    RefillLists();
}

void QueryFlow::RefillLists()
{
    const ListSources& lists = pages.Lists();
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
    dialog->SetLists(l);
}

void QueryFlow::Hide()
{
    dialog->hide();
}

void QueryFlow::DropRunning()
{
    latestRunOfPage.clear();
}

void QueryFlow::Open(const QString& button)
{
    dialog->show();
    dialog->raise();
    if (const std::optional<QueryRun::Target> target = QueryRun::ForButton(button))
        dialog->SetTarget(target->group, target->page, target->criteriaPage);
}

void QueryFlow::Start()
{
    status.ShowStatusInfo(Text("数据查询开始,请勿操作，耐心等待..."));
    QueryRequest request;
    request.criteria = dialog->ReadCriteria();
    request.seesPrices = seesPrices;
    request.run = ++lastRun;
    const QueryCriteria& c = request.criteria;
    if (const PageDefinition* page = QueryPage(c.group, c.page)) {
        pages.SetFilling(true);
        pages.OnPage(*page, [](auto& model) { model.RemoveAll(); });
        pages.SetFilling(false);
    }
    latestRunOfPage.insert(PageKey(c.group, c.page), request.run);
    pending = request;
    const quint64 run = request.run;
    running.insert(run, status.Begin(QString(), [this, run] { Cancel(run); }));
    if (!window.startJob())
        status.End(running.take(run));
}

void QueryFlow::Cancel(quint64 run)
{
    if (!running.contains(run))
        return;
    cancelled.insert(run);
    status.End(running.take(run), Text("查询已取消"));
}

void QueryFlow::Show(const QueryResult& result)
{
    if (running.contains(result.run))
        status.End(running.take(result.run));
    if (cancelled.remove(result.run))
        return;
    // A later run for the same page replaces this one, whichever finishes first.
    const int key = PageKey(result.group, result.page);
    if (latestRunOfPage.value(key) != result.run) {
        if (!latestRunOfPage.contains(key))
            status.ShowStatusInfo(
                Text("数据已清空或重新载入，此前开始的查询结果作废，请重新查询。"));
        return;
    }
    if (!result.ok) {
        status.ShowStatusInfo(Text("查询失败") + QStringLiteral(": ") + result.error);
        PromptBox box;
        box.title = Text("查询失败");
        box.text = Text("查询失败，数据库未能读出记录。") + QLatin1Char('\n') + result.error;
        box.icon = QMessageBox::Warning;
        Prompt::Current().Ask(&parent, box);
        return;
    }
    const PageDefinition* page = QueryPage(result.group, result.page);
    if (page && result.code > 0) {
        pages.SetFilling(true);
        pages.OnPage(*page, [&](auto& model) { model.ShowRecords(RecordsFor(model, result)); });
        pages.SetFilling(false);
    }
    status.ShowStatusInfo(Text("当前查询完成！"));
}
